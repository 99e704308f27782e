#include "protocol/protocol.h"

#include "common/log.h"
#include "common/processstate.h"
#include "link/usb.h"
#include "params/paramter.h"
#include "protocol/packet.h"
#include "protocol/parametercodec.h"
#include "protocol/stream.h"

namespace {
constexpr const char *DeviceName = "/dev/ttyUSB0";
constexpr int Accepted = 1;
constexpr int Refused = 3; // refused, but the link stays up
} // namespace

Protocol::Protocol() : usb(new Usb(nullptr))
{
    openPort();
    record = new Parameter();
    codec = new ParameterCodec(*record);
}

Protocol::~Protocol()
{
    {
        std::lock_guard<TurnLock> turn(exchangeTurn);
        usb->close();
    }
    delete usb;
    delete codec;
    delete record;
}

// The port is closed even when the handle was already given up after a failed
// exchange: a write that moved nothing leaves the device open underneath.
int Protocol::close()
{
    std::lock_guard<TurnLock> turn(exchangeTurn);
    usb->close();
    handle = -1;
    return 0;
}

int Protocol::reopen()
{
    std::lock_guard<TurnLock> turn(exchangeTurn);
    usb->close();
    handle = -1;
    openPort();
    return 0;
}

int Protocol::isOpen() const
{
    const int current = handle;
    return current > 0 ? current : 0;
}

int Protocol::writeParam(int code)
{
    uint8_t report[Packet::ReportSize] = {};
    // A code the record cannot encode would go out as a report of zeros.
    if (codec->encode(code, report, Packet::ReportSize) != 0)
        return -1;
    std::lock_guard<TurnLock> turn(exchangeTurn);
    const int count = roundTrip(report);
    if (count <= 0)
        return -1;
    // Without its status byte, or echoing another command, an answer says
    // nothing about this write.
    if (count < 2 || !ParameterCodec::echoes(code, report)) {
        LOG_WARN("answer 0x%02x of %d bytes is no answer to %d\n\n", report[0], count, code);
        return AnswerForeign;
    }
    Packet reply;
    return reply.replyDecode(report);
}

int Protocol::readParam(int code)
{
    uint8_t report[Packet::ReportSize] = {};
    codec->encodeForRead(code, report, Packet::ReportSize);
    std::lock_guard<TurnLock> turn(exchangeTurn);
    const int count = roundTrip(report);
    if (count <= 0)
        return -1;
    const ParameterCodec::AnswerFit fit = ParameterCodec::fitOf(code, report, count);
    if (fit != ParameterCodec::AnswerCarries) {
        LOG_WARN("answer 0x%02x of %d bytes is no answer to 0x%02x\n\n", report[0], count, code);
        return fit == ParameterCodec::AnswerRefuses ? AnswerRefused : AnswerForeign;
    }
    codec->decode(report, count);
    return 0;
}

int Protocol::handshake()
{
    uint8_t report[Packet::ReportSize];
    Packet::handshakeEncode(report);
    std::lock_guard<TurnLock> turn(exchangeTurn);
    if (writeReport(report, Packet::ReportSize) <= 0) {
        handle = -1;
        return -1;
    }
    return readAnswer(report);
}

int Protocol::sendFile(const uint8_t *image, int length)
{
    upgradeProgress = 0;
    upgradeOk = 1;
    Packet packet;
    // An empty image, or one whose framing stopped because the device left,
    // must not be reported as sent.
    if (packet.packetFile(image, length) != 0) {
        upgradeOk = 0;
        return 1;
    }
    Stream *transfer = packet.output();
    const int64_t total = transfer->size();
    int64_t sent = 0;
    uint8_t report[Packet::ReportSize];
    for (int taken; (taken = transfer->read(report, Packet::ReportSize)) > 0;) {
        if (!firmwareStep(report, taken)) {
            upgradeOk = 0;
            return 1;
        }
        sent += taken;
        // 64-bit: the percentage of a large image would overflow 32 bits.
        upgradeProgress = int(sent * 100 / total);
    }
    upgradeOk = 1;
    return 0;
}

int Protocol::sendLogo(const char *text, int length)
{
    Packet packet;
    packet.logoEncode(text, length);
    uint8_t report[Packet::ReportSize];
    while (packet.output()->read(report, Packet::ReportSize) == Packet::ReportSize) {
        std::lock_guard<TurnLock> turn(exchangeTurn);
        if (writeReport(report, Packet::ReportSize) != Packet::ReportSize) {
            LOG_WARN("write error\n\n");
            return -1;
        }
        readAnswer(report);
    }
    return 0;
}

void Protocol::openPort()
{
    handle = usb->open(DeviceName);
    LOG_TRACE() << "Protocol fd" << handle.load();
}

// Write and answer of one parameter exchange, with the lock held: the answer's
// byte count, or -1 with the connection marked closed.
int Protocol::roundTrip(uint8_t *report)
{
    const int count = writeReport(report, Packet::ReportSize) > 0 ? readAnswer(report) : -1;
    if (count <= 0)
        handle = -1;
    return count > 0 ? count : -1;
}

// One firmware report and its answer; false when the transfer has to stop.
bool Protocol::firmwareStep(const uint8_t *report, int length)
{
    std::lock_guard<TurnLock> turn(exchangeTurn);
    uint8_t answer[Packet::ReportSize];
    if (writeReport(report, length) != length || readAnswer(answer) <= 0) {
        handle = -1;
        return false;
    }
    Packet reply;
    const int status = reply.replyDecode(answer);
    if (status != Accepted && status != Refused)
        handle = -1;
    return status == Accepted;
}

int Protocol::writeReport(const uint8_t *report, int length)
{
    return usb->write(reinterpret_cast<const char *>(report), length);
}

int Protocol::readAnswer(uint8_t *answer)
{
    return usb->read(reinterpret_cast<char *>(answer), Packet::ReportSize);
}
