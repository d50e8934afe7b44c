#include "panels/FootSwitchTransport.h"

bool SimulatedFootSwitchTransport::Open(const std::string& path, std::string& error)
{
    if (failOpen) {
        error = "Permission denied";
        return false;
    }
    openedPath = path;
    m_open = true;
    return true;
}

bool SimulatedFootSwitchTransport::Transact(uint8_t (&buffer)[8], std::string& error)
{
    const int index = exchanges++;
    if (!m_open) {
        error = "Bad file descriptor";
        return false;
    }
    if (failFrom >= 0 && index >= failFrom) {
        error = "No such device";
        return false;
    }
    if (m_next < script.size())
        buffer[0] = script[m_next++];
    return true;
}

bool SimulatedFootSwitchTransport::Close(std::string&)
{
    ++closes;
    m_open = false;
    return true;
}
