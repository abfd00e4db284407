#include "simulator/benchwindow/LinePanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "res/ControlAccessibility.h"

namespace tvxsim::bench {

namespace {

// The line is on a SIP account: a far end known and not the exchange.
bool OnSip(const BenchState &state)
{
    return state.Known(StateItem::FarEnd) && state.Raw(StateItem::FarEnd) != "exchange";
}

}  // namespace

LinePanel::LinePanel(QWidget *parent)
    : BenchPanel(tr("Line"), parent),
      sip_(nullptr),
      farEnd_(new QLabel(this)),
      registration_(new QLabel(this)),
      call_(new QLabel(this))
{
    // Before the box: a screen reader's toggle is then a click.
    tvx::res::InstallCheckBoxAccessibility();
    sip_ = new QCheckBox(tr("&SIP line"), this);
    auto *layout = new QVBoxLayout(this);
    sip_->setAccessibleDescription(
        tr("The line on the SIP account of the line configuration; off: on the simulated exchange"));
    connect(sip_, &QCheckBox::clicked, this, [this](bool on) {
        Submit(LineSip(on));
        sip_->setChecked(!on);  // shown as the adapter reports it
    });
    layout->addWidget(sip_);
    for (QLabel *label : {farEnd_, registration_, call_}) {
        label->setWordWrap(true);
        // Selectable and reachable from the keyboard too, as the handset's display.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    const BenchState unknown;
    Show(unknown, StateItem::FarEnd);
}

void LinePanel::Show(const BenchState &state, StateItem item)
{
    switch (item) {
    case StateItem::FarEnd: {
        const std::string &farEnd = state.Raw(StateItem::FarEnd);
        const bool sip = OnSip(state);
        sip_->setChecked(sip);
        tvx::res::SetValueText(farEnd_,
                               !state.Known(StateItem::FarEnd) ? tr("Far end: unknown")
                               : sip                           ? tr("Far end: the SIP account %1").arg(Qs(farEnd))
                                                               : tr("Far end: the simulated exchange"));
        [[fallthrough]];
    }
    case StateItem::Registration:
    case StateItem::LineReason: {
        const std::string &reason = state.Raw(StateItem::LineReason);
        QString text = tr("Registration: %1").arg(Qs(state.Raw(StateItem::Registration)));
        if (!reason.empty())
            text += tr(" (%1)").arg(Qs(reason));
        tvx::res::SetValueText(registration_, OnSip(state) ? text : QString());
        return;
    }
    case StateItem::Peer:
    case StateItem::Codec:
    case StateItem::PacketsLost:
    case StateItem::Jitter: {
        const std::string &peer = state.Raw(StateItem::Peer);
        tvx::res::SetValueText(call_,
                               peer.empty() ? tr("No SIP call")
                                            : tr("Call with %1, %2, %3 packets lost, jitter %4 ms")
                                                  .arg(Qs(peer),
                                                       Qs(state.Raw(StateItem::Codec)),
                                                       Qs(state.Raw(StateItem::PacketsLost)),
                                                       Qs(state.Raw(StateItem::Jitter))));
        return;
    }
    default:
        return;
    }
}

}  // namespace tvxsim::bench
