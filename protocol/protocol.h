#pragma once

#include "protocol/turnlock.h"

#include <atomic>
#include <cstdint>

class Parameter;
class ParameterCodec;
class Usb;

// The program's one connection to the device: every request/answer exchange.
class Protocol
{
public:
    // Results of writeParam and readParam besides a status, 0 and -1 (no answer).
    static constexpr int AnswerRefused = -2; // the device refused the read request
    static constexpr int AnswerForeign = -3; // an answer, but not to this request: nothing taken from it

    Protocol();
    ~Protocol();
    Protocol(const Protocol &) = delete;
    Protocol &operator=(const Protocol &) = delete;

    int close();
    int reopen();
    int isOpen() const;
    int writeParam(int code);
    int readParam(int code);
    int handshake();
    int sendFile(const uint8_t *image, int length);
    int sendLogo(const char *text, int length);

    Usb *port() const { return usb; }
    Parameter *parameter() const { return record; }

private:
    void openPort();
    int roundTrip(uint8_t *report);
    bool firmwareStep(const uint8_t *report, int length);
    int writeReport(const uint8_t *report, int length);
    int readAnswer(uint8_t *answer);

    Usb *usb = nullptr;
    Parameter *record = nullptr;
    ParameterCodec *codec = nullptr; // of the record
    std::atomic<int> handle{-1};
    // Held for one report and its answer: the firmware writer thread and the GUI
    // thread take turns per exchange, and close/reopen wait for the one running.
    TurnLock exchangeTurn;
};
