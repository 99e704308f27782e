// Device answers through the two decoders that read them: the answer head of
// Packet and the parameter record's decoder. The answer sits in a buffer of
// exactly the bytes read, so any read past them is caught.
#include "fuzz/fuzzcheck.h"
#include "params/paramter.h"
#include "protocol/packet.h"
#include "protocol/parametercodec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr int ReportSize = 64;
constexpr int ModeBits = 0x70;

int word(const uint8_t *at)
{
    return at[0] << 8 | at[1];
}

template <typename Table> bool tableHolds(const Table &table, const uint8_t *payload)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i] != word(payload + 2 * i))
            return false;
    return true;
}

struct Snapshot
{
    explicit Snapshot(const Parameter &p)
        : power(p.power()), overshootPower(p.overshootPower()), overshootTime(p.overshootTime()),
          screenTimeout(p.screenTimeout()), tempPower(p.tempPower()), temperature(p.temperature()),
          tempOvershootTime(p.tempOvershootTime()), typeAndUnit(p.typeAndUnit()), compensationC(p.compensationC()),
          compensationF(p.compensationF()), tcr(p.tcr()), tfr(p.tfr())
    {}
    bool operator==(const Snapshot &o) const
    {
        return power == o.power && overshootPower == o.overshootPower && overshootTime == o.overshootTime &&
               screenTimeout == o.screenTimeout && tempPower == o.tempPower && temperature == o.temperature &&
               tempOvershootTime == o.tempOvershootTime && typeAndUnit == o.typeAndUnit &&
               compensationC == o.compensationC && compensationF == o.compensationF && tcr == o.tcr && tfr == o.tfr;
    }

    int power, overshootPower, overshootTime, screenTimeout, tempPower, temperature, tempOvershootTime;
    uint8_t typeAndUnit;
    int compensationC, compensationF;
    Parameter::TcrTable tcr;
    Parameter::TfrTable tfr;
};

void checkReplyDecode(const uint8_t *data, size_t size)
{
    // The protocol always hands over a full report buffer.
    uint8_t answer[ReportSize] = {};
    std::memcpy(answer, data, std::min(size, sizeof answer));
    Packet packet;
    FUZZ_CHECK(packet.replyDecode(answer) == answer[1]);
    FUZZ_CHECK(packet.replyFlag() == (answer[0] & 0x80u));
    FUZZ_CHECK(packet.replyCommand() == (answer[0] & 0x7Fu));
    FUZZ_CHECK(packet.replyStatus() == answer[1]);
}

// What the record must hold after a decoded answer, field by field of the
// answer layout; everything the answer does not carry stays as it was.
void checkStored(const Parameter &record, const Snapshot &before, const uint8_t *answer, int code)
{
    const int n = answer[1];
    const uint8_t *payload = answer + 2;
    const Snapshot after(record);
    switch (code & 0x0F) {
    case 1:
        if (n >= 6) {
            FUZZ_CHECK(record.power() == word(payload) && record.overshootPower() == word(payload + 2) &&
                       record.overshootTime() == word(payload + 4));
            return;
        }
        break;
    case 2:
        FUZZ_CHECK(record.screenTimeout() == word(payload));
        return;
    case 3:
        FUZZ_CHECK(record.tempPower() == word(payload) && record.temperature() == word(payload + 2));
        FUZZ_CHECK(record.tempOvershootTime() == word(payload + 4) && record.typeAndUnit() == payload[6]);
        FUZZ_CHECK(record.compensationF() == int8_t(payload[7]) && record.compensationC() == int8_t(payload[8]));
        FUZZ_CHECK(record.unitBit() == payload[6] >> 7);
        return;
    case 4:
        if (n == 10) {
            FUZZ_CHECK(tableHolds(record.tcr(), payload));
            return;
        }
        break;
    case 5:
        if (n == 50) {
            FUZZ_CHECK(tableHolds(record.tfr(), payload));
            return;
        }
        break;
    default:
        break;
    }
    FUZZ_CHECK(after == before);
}

// Payload bytes each parameter answer carries, by its command's low bits.
int carried(int code)
{
    static const int bytes[] = {0, 6, 2, 10, 10, 50, 1};
    const int command = code & 0x7F;
    return command >= 1 && command <= 6 ? bytes[command] : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkReplyDecode(data, size);

    const int count = int(std::min<size_t>(size, 2 * ReportSize));
    const auto answer = std::make_unique<uint8_t[]>(size_t(count));
    std::memcpy(answer.get(), data, size_t(count));

    Parameter record;
    record.setWorkMode(7); // neither mode, so a stored mode shows
    const Snapshot before(record);
    const int result = ParameterCodec(record).decode(answer.get(), count);
    if (count < 2) {
        FUZZ_CHECK(result < 0 && Snapshot(record) == before && record.workMode() == 7);
        return 0;
    }
    const int code = answer[0] & ~ModeBits;
    FUZZ_CHECK(result == code);
    // An answer too short for what its code carries is left alone, never read past.
    if (count - 2 < carried(code)) {
        FUZZ_CHECK(Snapshot(record) == before && record.workMode() == 7);
        return 0;
    }
    checkStored(record, before, answer.get(), code);
    const int mode = (answer[0] & ModeBits) >> 4;
    const int expectedMode = (code & 0x7F) == 6 ? answer[2] : mode == 1 || mode == 2 ? mode : 7;
    FUZZ_CHECK(record.workMode() == expectedMode);
    return 0;
}
