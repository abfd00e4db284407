#include "simulator/benchwindow/FarPartyPanel.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tvxsim::bench {
namespace {

QSpinBox *Spin(int low, int high, int value, const QString &suffix, QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(low, high);
    spin->setValue(value);
    spin->setSuffix(suffix);
    return spin;
}

QPushButton *Button(const QString &text, const QString &description, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setAccessibleDescription(description);
    return button;
}

// A caption with its field as buddy.
QLabel *Caption(const QString &text, QWidget *field, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

}  // namespace

FarPartyPanel::FarPartyPanel(QWidget *parent)
    : BenchPanel(tr("Far party"), parent),
      dtmf_(new QLineEdit(this)),
      speechMs_(Spin(1, 600000, 2000, tr(" ms"), this)),
      file_(new QLineEdit(this)),
      gain_(Spin(kScenarioMinPlayGainDb, kScenarioMaxPlayGainDb, 0, tr(" dB"), this)),
      noiseMs_(Spin(1, 600000, 1000, tr(" ms"), this)),
      noiseLevel_(Spin(kScenarioMinDbm0, kScenarioMaxDbm0, kScenarioNoiseDbm0, tr(" dBm0"), this))
{
    auto *layout = new QVBoxLayout(this);

    auto *callRow = new QHBoxLayout;
    auto *answer = Button(tr("Answe&r"), tr("The far end that the adapter called answers now"), this);
    auto *hangup = Button(tr("Far party hangs &up"), tr("The far end hangs up"), this);
    connect(answer, &QPushButton::clicked, this, [this] { emit requested(QStringLiteral("far answer")); });
    connect(hangup, &QPushButton::clicked, this, [this] { emit requested(QStringLiteral("far hangup")); });
    callRow->addWidget(answer);
    callRow->addWidget(hangup);
    callRow->addStretch(1);
    layout->addLayout(callRow);

    auto *grid = new QGridLayout;
    int row = 0;

    dtmf_->setText(QStringLiteral("5#"));
    dtmf_->setMaxLength(int(kMaxKeys));
    dtmf_->setAccessibleDescription(tr("Digits the far party keys: 0-9, *, #, A-D"));
    auto *sendDtmf = Button(tr("Send &DTMF"), tr("The far party keys these digits (heard while connected)"), this);
    const auto dtmf = [this] { Submit(FarDtmf(dtmf_->text().toStdString())); };
    connect(sendDtmf, &QPushButton::clicked, this, dtmf);
    connect(dtmf_, &QLineEdit::returnPressed, this, dtmf);
    grid->addWidget(Caption(tr("DTMF di&gits:"), dtmf_, this), row, 0);
    grid->addWidget(dtmf_, row, 1, 1, 2);
    grid->addWidget(sendDtmf, row++, 3);

    speechMs_->setAccessibleDescription(tr("How long the far party speaks"));
    auto *speak = Button(tr("&Speak"), tr("The far party speaks (speech-like noise, heard while connected)"), this);
    connect(speak, &QPushButton::clicked, this, [this] { Submit(FarSpeech(speechMs_->value())); });
    grid->addWidget(Caption(tr("Spee&ch for:"), speechMs_, this), row, 0);
    grid->addWidget(speechMs_, row, 1, 1, 2);
    grid->addWidget(speak, row++, 3);

    file_->setAccessibleDescription(tr("A sound file the far party plays: WAV, FLAC, Ogg, MP3, any rate"));
    auto *browse = Button(tr("Bro&wse..."), tr("Chooses the sound file"), this);
    connect(browse, &QPushButton::clicked, this, &FarPartyPanel::ChooseFile);
    grid->addWidget(Caption(tr("F&ile:"), file_, this), row, 0);
    grid->addWidget(file_, row, 1, 1, 2);
    grid->addWidget(browse, row++, 3);
    gain_->setAccessibleDescription(tr("The file's gain: -60 to +20 dB"));
    auto *play = Button(tr("Pla&y"), tr("The far party plays the file (heard while connected)"), this);
    const auto playFile = [this] { Submit(FarPlay(QFile::encodeName(file_->text()).toStdString(), gain_->value())); };
    connect(play, &QPushButton::clicked, this, playFile);
    connect(file_, &QLineEdit::returnPressed, this, playFile);
    grid->addWidget(Caption(tr("Gai&n:"), gain_, this), row, 0);
    grid->addWidget(gain_, row, 1, 1, 2);
    grid->addWidget(play, row++, 3);

    noiseMs_->setAccessibleDescription(tr("How long the line is noisy"));
    noiseLevel_->setAccessibleName(tr("Noise level"));  // the row's caption names the length
    noiseLevel_->setAccessibleDescription(tr("The noise's level: -80 to +3 dBm0"));
    auto *noise = Button(tr("&Make noise"), tr("White noise on the line, heard on hook too"), this);
    connect(noise, &QPushButton::clicked, this, [this] { Submit(LineNoise(noiseMs_->value(), noiseLevel_->value())); });
    grid->addWidget(Caption(tr("Line n&oise for:"), noiseMs_, this), row, 0);
    grid->addWidget(noiseMs_, row, 1, 1, 2);
    grid->addWidget(noise, row++, 3);
    // Its level on a line of its own, so that the panel stays narrow.
    grid->addWidget(noiseLevel_, row++, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
}

void FarPartyPanel::ChooseFile()
{
    const QString file =
        QFileDialog::getOpenFileName(this,
                                     tr("A sound file for the far party to play"),
                                     file_->text(),
                                     tr("Sound files (*.wav *.flac *.ogg *.oga *.mp3 *.au *.aiff);;All files (*)"));
    if (!file.isEmpty())
        file_->setText(file);
}

}  // namespace tvxsim::bench
