// The foot switch's device behind one 8-byte exchange: the switch answers a request buffer in place, and byte 0 of
// the answer tells the pedal: kFootSwitchNoReport (the request unchanged) for nothing new, bit 0 clear for pressed,
// bit 0 set for released. Failures come back with the system's text for them. UI thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t kFootSwitchNoReport = 0x08;

class IFootSwitchTransport
{
public:
    virtual ~IFootSwitchTransport() = default;
    // The device paths of the switches present, in the order the system lists them.
    virtual std::vector<std::string> Enumerate() = 0;
    virtual bool Open(const std::string& path, std::string& error) = 0;
    virtual bool IsOpen() const = 0;
    // Sends `buffer` and overwrites it with the answer.
    virtual bool Transact(uint8_t (&buffer)[8], std::string& error) = 0;
    // The device is closed afterwards whatever the result.
    virtual bool Close(std::string& error) = 0;
};

// A transport that plays a script of answers, for tests and demonstrations: each exchange answers the next byte 0
// of the script (no report once it runs out), and a failure can be set up for a given exchange.
class SimulatedFootSwitchTransport : public IFootSwitchTransport
{
public:
    std::vector<std::string> devices{"sim:footswitch0"};
    std::vector<uint8_t> script;
    // The exchange (counted from 0) from which every exchange fails; -1 for none.
    int failFrom = -1;
    bool failOpen = false;

    // What happened.
    std::string openedPath;
    int exchanges = 0;
    int closes = 0;

    std::vector<std::string> Enumerate() override { return devices; }
    bool Open(const std::string& path, std::string& error) override;
    bool IsOpen() const override { return m_open; }
    bool Transact(uint8_t (&buffer)[8], std::string& error) override;
    bool Close(std::string& error) override;

private:
    bool m_open = false;
    size_t m_next = 0;
};

// The real switch over the kernel's raw HID devices. A pedal is recognised by its USB vendor and product id (the
// built-in list of common single-pedal switches, or VISTREL_FOOTSWITCH_ID="vvvv:pppp" in hex); each input report it
// sends becomes one answer: pressed while any byte of it is non-zero, released when all are zero.
// Access needs the udev rule shipped with the program.
class HidFootSwitchTransport : public IFootSwitchTransport
{
public:
    HidFootSwitchTransport();
    ~HidFootSwitchTransport() override;

    std::vector<std::string> Enumerate() override;
    bool Open(const std::string& path, std::string& error) override;
    bool IsOpen() const override { return m_device != nullptr; }
    bool Transact(uint8_t (&buffer)[8], std::string& error) override;
    bool Close(std::string& error) override;

private:
    void* m_device = nullptr;
    bool m_initialised = false;
};

// One HID interface of a pedal as the system lists it.
struct FootSwitchInterface
{
    std::string path;
    unsigned short usagePage = 0;
    unsigned short usage = 0;
    int interfaceNumber = -1;
};

// The paths of a pedal's interfaces, the one that reports the pedal first: a pedal often shows several (a keyboard,
// a mouse, a vendor one), and only the keyboard interface (usage page 0x01, usage 0x06) carries the pedal's key.
// The rest follow by interface number, for pedals that do not tell their usage.
std::vector<std::string> OrderFootSwitchInterfaces(std::vector<FootSwitchInterface> interfaces);

// Byte 0 of the answer for one raw input report of `length` bytes (no report for an empty one).
uint8_t FootSwitchStateFromReport(const uint8_t* report, int length);
