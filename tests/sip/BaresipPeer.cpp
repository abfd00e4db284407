#include "tests/sip/BaresipPeer.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace tvxsim::sip::test {

namespace {

// A silent WAV at 8 kHz, mono, 16 bits, `seconds` long: baresip's microphone.
void WriteSilence(const std::string &path, int seconds)
{
    const uint32_t samples = static_cast<uint32_t>(seconds) * 8000;
    const uint32_t bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char *>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    const std::vector<char> zeros(bytes, 0);
    out.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
}

// The value of "key":"value" in a JSON object (no escapes inside values we read).
std::string Field(const std::string &json, const std::string &key)
{
    const std::string tag = "\"" + key + "\":\"";
    const size_t at = json.find(tag);
    if (at == std::string::npos)
        return {};
    const size_t start = at + tag.size();
    const size_t end = json.find('"', start);
    return end == std::string::npos ? std::string() : json.substr(start, end - start);
}

}  // namespace

BaresipPeer::BaresipPeer(const std::string &folder, int sipPort) : folder_(folder)
{
    const int control = FreeUdpPort();
    WriteSilence(folder + "/silence.wav", 60);
    WriteFile(folder + "/config",
              "poll_method\tepoll\n"
              "sip_listen\t127.0.0.1:" +
                  std::to_string(sipPort) +
                  "\n"
                  "audio_player\taubridge,nil\n"
                  "audio_alert\taubridge,nil\n"
                  "audio_source\taufile," +
                  folder +
                  "/silence.wav\n"
                  "module_path\t/usr/lib/baresip/modules\n"
                  "module\tg711.so\n"
                  "module\taufile.so\n"
                  "module\taubridge.so\n"
                  "module\tsndfile.so\n"
                  "module_app\taccount.so\n"
                  "module_app\tmenu.so\n"
                  "module_app\tctrl_tcp.so\n"
                  "ctrl_tcp_listen\t127.0.0.1:" +
                  std::to_string(control) +
                  "\n"
                  "snd_path\t" +
                  folder +
                  "\n"
                  "rtp_ports\t40000-49998\n");
    WriteFile(folder + "/accounts",
              "\"Bob Baresip\" <sip:5550123@127.0.0.1:" + std::to_string(sipPort) + ">;regint=0;answermode=manual\n");
    process_ = std::make_unique<PeerProcess>(
        "baresip", std::vector<std::string>{"-f", folder, "-n", "127.0.0.1"}, folder, "baresip");
    if (!process_->Started())
        return;
    for (int i = 0; i < 300 && fd_ < 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(control));
        if (connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0)
            fd_ = fd;
        else
            close(fd);
    }
    if (fd_ >= 0)
        reader_ = std::thread([this] { Read(); });
}

BaresipPeer::~BaresipPeer() { Stop(); }

void BaresipPeer::Stop()
{
    if (process_)
        process_->Stop();
    if (fd_ >= 0)
        shutdown(fd_, SHUT_RDWR);
    if (reader_.joinable())
        reader_.join();
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

bool BaresipPeer::Command(const std::string &command, const std::string &params)
{
    if (fd_ < 0)
        return false;
    const std::string json = "{\"command\":\"" + command + "\",\"params\":\"" + params + "\",\"token\":\"" +
                             std::to_string(++token_) + "\"}";
    const std::string frame = std::to_string(json.size()) + ":" + json + ",";
    return send(fd_, frame.data(), frame.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(frame.size());
}

void BaresipPeer::Read()
{
    std::string buffer;
    std::array<char, 4096> chunk{};
    while (true) {
        const ssize_t n = recv(fd_, chunk.data(), chunk.size(), 0);
        if (n <= 0)
            return;
        buffer.append(chunk.data(), static_cast<size_t>(n));
        // Netstrings: "<length>:<data>,".
        while (true) {
            const size_t colon = buffer.find(':');
            if (colon == std::string::npos)
                break;
            const size_t length = std::strtoul(buffer.substr(0, colon).c_str(), nullptr, 10);
            if (buffer.size() < colon + 1 + length + 1)
                break;
            const std::string json = buffer.substr(colon + 1, length);
            buffer.erase(0, colon + 1 + length + 1);
            if (json.find("\"event\":true") == std::string::npos)
                continue;
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back({Field(json, "type"), Field(json, "param")});
        }
    }
}

std::vector<BaresipEvent> BaresipPeer::Events() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

bool BaresipPeer::WaitFor(const std::string &type, int timeoutMs, BaresipEvent *event) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const BaresipEvent &e : events_) {
                if (e.type == type) {
                    if (event != nullptr)
                        *event = e;
                    return true;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

std::string BaresipPeer::DigitsReceived() const
{
    std::string out;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const BaresipEvent &e : events_) {
        if (e.type == "CALL_DTMF_START")
            out += e.param;
    }
    return out;
}

std::string BaresipPeer::ReceivedRecording() const
{
    DIR *dir = opendir(folder_.c_str());
    if (dir == nullptr)
        return {};
    std::string found;
    while (const dirent *e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind("dump-", 0) == 0 && name.size() > 8 && name.compare(name.size() - 8, 8, "-dec.wav") == 0)
            found = folder_ + "/" + name;
    }
    closedir(dir);
    return found;
}

}  // namespace tvxsim::sip::test
