#include "res/AppIconSvg.h"

#include <cstdio>

namespace tvx::res {

namespace {

// Shortest decimal form of a coordinate: "6", "1.2", "1.3".
std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Colour(uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xffffffu));
    return text;
}

std::string Paint(const IconShape &shape)
{
    std::string paint = " fill=\"" + Colour(shape.fill) + "\"";
    if (shape.strokeWidth > 0)
        paint += " stroke=\"" + Colour(shape.stroke) + "\" stroke-width=\"" + Number(shape.strokeWidth) + "\"";
    return paint;
}

std::string PathData(std::span<const IconStep> steps)
{
    std::string data;
    for (const IconStep &step : steps) {
        if (!data.empty())
            data += ' ';
        data += step.op;
        if (step.op == 'C')
            data += Number(step.x1) + ' ' + Number(step.y1) + ' ' + Number(step.x2) + ' ' + Number(step.y2) + ' ';
        if (step.op != 'Z')
            data += Number(step.x) + ' ' + Number(step.y);
    }
    return data;
}

}  // namespace

std::string IconSvg(std::span<const IconShape> shapes)
{
    const std::string frame = Number(kIconFrame);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      frame + "\" height=\"" + frame + "\" viewBox=\"0 0 " + frame + ' ' + frame + "\">\n";
    for (const IconShape &shape : shapes) {
        switch (shape.kind) {
        case IconShapeKind::RoundedRect:
            svg += "  <rect x=\"" + Number(shape.x) + "\" y=\"" + Number(shape.y) + "\" width=\"" +
                   Number(shape.width) + "\" height=\"" + Number(shape.height) + "\" rx=\"" + Number(shape.radius) +
                   "\"" + Paint(shape) + "/>\n";
            break;
        case IconShapeKind::Circle:
            svg += "  <circle cx=\"" + Number(shape.x) + "\" cy=\"" + Number(shape.y) + "\" r=\"" +
                   Number(shape.radius) + "\"" + Paint(shape) + "/>\n";
            break;
        case IconShapeKind::Outline:
            svg += "  <path d=\"" + PathData(shape.steps) + "\"" + Paint(shape) + "/>\n";
            break;
        }
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace tvx::res
