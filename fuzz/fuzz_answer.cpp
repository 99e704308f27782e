// Device answers through the two decoders that read them: the answer head of
// Packet and the parameter codec. The answer sits in a buffer of exactly the
// bytes read, so any read past them is caught; what the record takes is held to
// the answer layout through what the record would send next.
#include "fuzz/fuzzcheck.h"
#include "params/paramter.h"
#include "protocol/packet.h"
#include "protocol/parametercodec.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int ReportSize = 64;
constexpr int ModeBits = 0x70;
constexpr int Carried[] = {0, 6, 2, 10, 10, 50, 1}; // payload bytes of each command's answer

// The payload of each command 1..6 the record would write now, then the
// Celsius compensation it keeps aside.
QList<QByteArray> sent(Parameter &record)
{
    QList<QByteArray> payloads;
    ParameterCodec codec(record);
    for (int code = 1; code <= 6; ++code) {
        uint8_t report[ReportSize];
        FUZZ_CHECK(codec.encode(code, report, ReportSize) == 0);
        payloads << QByteArray(reinterpret_cast<const char *>(report + 2), report[1]);
    }
    return payloads << QByteArray(1, char(record.compensationByteC()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t head[ReportSize] = {}; // the protocol always hands over a full report buffer
    std::memcpy(head, data, std::min(size, sizeof head));
    Packet packet;
    FUZZ_CHECK(packet.replyDecode(head) == head[1] && packet.replyStatus() == head[1] &&
               packet.replyFlag() == (head[0] & 0x80u) && packet.replyCommand() == (head[0] & 0x7Fu));

    const int count = int(std::min<size_t>(size, 2 * ReportSize));
    const auto answer = std::make_unique<uint8_t[]>(size_t(count));
    std::memcpy(answer.get(), data, size_t(count));
    Parameter record;
    record.setWorkMode(7); // neither mode, so a stored mode shows
    QList<QByteArray> expected = sent(record);
    const int result = ParameterCodec(record).decode(answer.get(), count);
    if (count < 2) {
        FUZZ_CHECK(result < 0 && sent(record) == expected);
        return 0;
    }
    const int code = answer[0] & ~ModeBits;
    FUZZ_CHECK(result == code);
    const int command = code & 0x0F, length = answer[1];
    const QByteArray payload(reinterpret_cast<const char *>(answer.get() + 2), std::min(count, ReportSize) - 2);
    const bool known = command >= 1 && command <= 6;
    // An answer too short for what its code carries is left alone, never read past.
    if (!known || payload.size() >= Carried[command]) {
        const int mode = (answer[0] & ModeBits) >> 4;
        if (mode == 1 || mode == 2)
            expected[5] = QByteArray(1, char(mode));
        const bool whole = command == 1 ? length >= 6 : command == 4 ? length == 10 : command != 5 || length == 50;
        if (known && whole)
            expected[command - 1] = payload.left(command == 3 ? 8 : Carried[command]);
        if (command == 3)
            expected[6] = payload.mid(8, 1);
    }
    FUZZ_CHECK(sent(record) == expected);
    return 0;
}
