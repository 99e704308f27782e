#pragma once

#include <QString>
#include <memory>

class HeaterLock;
class Output;
class Protocol;

// The heater as one command sees it: the link opened and the handshake run,
// or the reason why not; and what the device's answers to a transfer said.
class Session
{
public:
    static constexpr int Connected = 64;   // handshake answer in normal operation
    static constexpr int UpgradeState = 2; // handshake answer in the upgrade state

    explicit Session(Output &output);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // ExitOk once the device answered the handshake; otherwise the exit code,
    // with problem() telling why in plain words. The heater stays this
    // command's alone until the session ends.
    int open(bool trace);
    // open(), and ExitRefused unless the device is in the wanted state.
    int openIn(int wanted, bool trace);
    int linkState() const { return state; }
    QString problem() const { return why; }
    Protocol &protocol() { return *link; }

    // From now on, count the answers that do not accept their report and the
    // reports left without an answer (in a transfer every answer carries a
    // status; a read's carries a length instead).
    void countAnswers();
    int refusals() const { return refused; }
    int silences() const { return unanswered; }

private:
    int explainMissing();

    Output &output;
    std::unique_ptr<Protocol> link;
    std::unique_ptr<HeaterLock> heater;
    int state = 0;
    QString why;
    bool counting = false;
    int refused = 0;
    int unanswered = 0;
};
