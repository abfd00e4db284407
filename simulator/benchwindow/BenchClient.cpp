#include "simulator/benchwindow/BenchClient.h"

#include "simulator/benchwindow/logic/ControlLine.h"

namespace tvxsim::bench {
namespace {

// Longer lines than this are not the protocol's; they are dropped unread.
constexpr qint64 kMaxLineBytes = 64 * 1024;

QString FromUtf8(const std::string &text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

BenchClient::BenchClient(QString path, int retryMs, QObject *parent)
    : QObject(parent),
      path_(std::move(path)),
      watch_(new QLocalSocket(this)),
      requests_(new QLocalSocket(this)),
      line_(size_t(kMaxLineBytes) + 1)
{
    retry_.setSingleShot(true);
    retry_.setInterval(retryMs);
    connect(&retry_, &QTimer::timeout, this, &BenchClient::Connect);

    connect(watch_, &QLocalSocket::connected, this, [this] { watch_->write("watch\n"); });
    connect(watch_, &QLocalSocket::readyRead, this, &BenchClient::ReadWatch);

    connect(requests_, &QLocalSocket::connected, this, &BenchClient::UpdateConnected);
    connect(requests_, &QLocalSocket::readyRead, this, &BenchClient::ReadReplies);
    // A failed attempt reports its error while still connecting; the state
    // that follows is what tells that the socket is closed.
    for (QLocalSocket *socket : {watch_, requests_}) {
        connect(socket, &QLocalSocket::stateChanged, this, [this](QLocalSocket::LocalSocketState state) {
            if (state == QLocalSocket::UnconnectedState)
                OnSocketGone();
        });
    }
    Connect();
}

bool BenchClient::Send(const QString &line)
{
    if (!connected_)
        return false;
    pending_.enqueue(line);
    requests_->write(line.toUtf8() + '\n');
    return true;
}

void BenchClient::Connect()
{
    watching_ = false;
    skipWatch_ = skipReplies_ = false;
    pending_.clear();
    watch_->connectToServer(path_);
    requests_->connectToServer(path_);
}

void BenchClient::Disconnect()
{
    // Aborting a socket reports its close at once; that is this close, not another.
    closing_ = true;
    watch_->abort();
    requests_->abort();
    closing_ = false;
    watching_ = false;
    pending_.clear();
}

// Either socket failing or closing ends the connection: both are closed,
// the window hears that no adapter is there, and the next attempt comes later.
void BenchClient::OnSocketGone()
{
    if (closing_)
        return;
    if (watch_->state() == QLocalSocket::ConnectedState && requests_->state() == QLocalSocket::ConnectedState)
        return;
    if (watch_->state() == QLocalSocket::ConnectingState || requests_->state() == QLocalSocket::ConnectingState)
        return;
    Disconnect();
    UpdateConnected();
    if (!retry_.isActive())
        retry_.start();
}

void BenchClient::UpdateConnected()
{
    const bool now = watching_ && watch_->state() == QLocalSocket::ConnectedState &&
                     requests_->state() == QLocalSocket::ConnectedState;
    if (now == connected_)
        return;
    connected_ = now;
    emit connectedChanged(now);
}

QList<QByteArray> BenchClient::TakeLines(QLocalSocket *socket, bool &skipping)
{
    // Each line is read into the one buffer: a line costs no allocation of the limit's size.
    QList<QByteArray> lines;
    while (socket->canReadLine()) {
        const qint64 length = socket->readLine(line_.data(), qint64(line_.size()));
        if (length <= 0)
            break;
        const bool whole = line_[size_t(length) - 1] == '\n';
        if (skipping || !whole) {
            skipping = !whole;
            continue;
        }
        lines.append(QByteArray(line_.data(), length - 1));
    }
    if (socket->bytesAvailable() > kMaxLineBytes) {
        socket->skip(socket->bytesAvailable());
        skipping = true;
    }
    return lines;
}

void BenchClient::ReadWatch()
{
    for (const QByteArray &bytes : TakeLines(watch_, skipWatch_)) {
        const ControlLine line = ParseWatchLine(std::string_view(bytes.constData(), size_t(bytes.size())));
        switch (line.kind) {
        case LineKind::Ok:
            if (!watching_) {
                watching_ = true;
                emit watchStarted();
                UpdateConnected();
            }
            break;
        case LineKind::State:
            emit stateReceived(FromUtf8(line.name), FromUtf8(line.text));
            break;
        case LineKind::Event:
            emit eventReceived(FromUtf8(line.text));
            break;
        case LineKind::Dropped:
            emit linesDropped(line.count);
            break;
        case LineKind::Error:
            // The adapter refused the watch (too many clients): try again later.
            Disconnect();
            UpdateConnected();
            retry_.start();
            return;
        case LineKind::Blank:
        case LineKind::Unknown:
            break;
        }
    }
}

void BenchClient::ReadReplies()
{
    for (const QByteArray &bytes : TakeLines(requests_, skipReplies_)) {
        const ControlLine line = ParseWatchLine(std::string_view(bytes.constData(), size_t(bytes.size())));
        if (line.kind != LineKind::Ok && line.kind != LineKind::Error)
            continue;
        // An error with no request waiting is the adapter's refusal of the
        // connection itself; it is shown as the reply to nothing.
        const QString request = pending_.isEmpty() ? QString() : pending_.dequeue();
        emit replied(request, line.kind == LineKind::Ok, FromUtf8(line.text));
    }
}

}  // namespace tvxsim::bench
