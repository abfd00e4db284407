// Texts made fit for caller ID: printable ASCII of at most kCidMaxText
// bytes. UTF-8 letters with a plain ASCII form are folded to it (é to e,
// ß to ss), everything else that is not printable ASCII is dropped, runs
// of spaces become one, a double quote becomes an apostrophe (the
// scenario language's quoting), and nothing raw gets through.
#pragma once

#include <string>
#include <string_view>

namespace tvxsim::sip {

std::string FoldToCidText(std::string_view utf8);

}  // namespace tvxsim::sip
