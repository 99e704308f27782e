#pragma once

#include "sim/simsettings.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

// A model of the heater's side of the link: answers every report it receives
// the way the firmware does, keeps its settings, takes firmware and logo
// transfers apart and checks them, and can be told to misbehave. Safe to use
// from several threads at once.
class SimDevice
{
public:
    static constexpr uint16_t VendorId = 0x0483;
    static constexpr uint16_t ProductId = 0x5750;

    // What the device does with the answer to one report.
    enum Fault {
        None,
        Status,  // answers with the given status instead of acting on the report
        Drop,    // the answer is lost on the way: the host's read fails
        Stall,   // never answers: the host's read times out
        Short,   // answers with only the given number of bytes
        Late,    // the answer arrives only after the read waiting for it gave up
        Foreign, // acts on the report, but its answer names the given command code
    };

    SimDevice();

    // Host side, through the simulated bus: one output report (report ID
    // first) and one input report. Results as the HID backend's write and read.
    // Each open handle reads as a reader of its own, and every answer goes to
    // every reader, as the kernel hands each open hidraw file a copy.
    int openReader();
    void closeReader(int reader);
    int receive(const uint8_t *report, int length);
    int answer(int reader, uint8_t *buffer, int length, int timeoutMs);
    void plug(bool present);

    // Test side.
    void setUpgradeState(bool upgrading);             // handshake answers 2 bytes; 0x01..0x03 carry firmware
    void inject(int nth, Fault fault, int value = 0); // nth: 1 is the next report
    void vanishAfter(int reports);                    // gone after answering that many more
    void onVanish(std::function<void()> handler);     // the bus learns of a vanish

    QList<QByteArray> reports() const; // the latest reports as they came over the wire
    int reportCount() const;           // every report received
    QStringList problems() const;      // what the device found wrong in the latest reports
    QByteArray firmware() const;       // the image reassembled so far
    bool firmwareComplete() const;
    QByteArray logo() const;
    bool logoComplete() const;
    QByteArray setting(int code) const; // the payload that read command 0x80 + code answers
    void setSetting(int code, const QByteArray &payload);
    int workMode() const;

private:
    struct Answer
    {
        QByteArray bytes;
        bool lost = false;
    };
    struct Injection
    {
        Fault fault = None;
        int value = 0;
    };
    struct Transfer
    {
        QByteArray data;
        int expected = -1; // announced length, -1 when not announced
        int pageOffset = 0;
        bool open = false;
        bool complete = false;
    };

    int vanish(std::unique_lock<std::mutex> &lock);
    QByteArray respond(const uint8_t *report);
    QByteArray parameterStep(const uint8_t *report);
    QByteArray firmwareStep(const uint8_t *report);
    QByteArray logoStep(const uint8_t *report);
    QByteArray refuse(uint8_t code, const QString &why);
    void note(const QString &why);
    bool framedOk(const uint8_t *report);
    void deliver(const QByteArray &bytes, const Injection &injection);
    void broadcast(const Answer &answer); // with the lock held
    void dropAnswers();                   // with the lock held

    mutable std::mutex mutex;
    std::condition_variable answered;
    std::map<int, std::deque<Answer>> readers; // reader -> answers not yet read
    int nextReader = 1;
    QByteArray late;
    bool present = true;
    bool upgrading = false;
    int vanishAt = -1;
    std::map<int, Injection> injections;
    std::function<void()> vanishHandler;
    int reportsIn = 0;
    QList<QByteArray> wire;
    QStringList found;
    Transfer image;
    Transfer logoData;
    SimSettings settings;
};
