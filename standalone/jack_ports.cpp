#include "standalone/jack_ports.h"

#include <jack/jack.h>

#include <vector>

namespace standalone
{
namespace
{

// jack_get_ports' answer, freed with the list.
class PortList
{
public:
    PortList(jack_client_t* client, const char* pattern, unsigned long flags)
        : names(jack_get_ports(client, pattern, JACK_DEFAULT_AUDIO_TYPE, flags))
    {
    }
    ~PortList() { jack_free(names); }
    PortList(const PortList&) = delete;
    PortList& operator=(const PortList&) = delete;

    std::vector<std::string> all() const
    {
        std::vector<std::string> list;
        for (const char** name = names; name && *name; ++name)
            list.emplace_back(*name);
        return list;
    }

private:
    const char** names;
};

std::string escaped(const std::string& name)
{
    std::string pattern = "^";
    for (const char c : name)
    {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern + ":";
}

void disconnectAll(jack_client_t* client, const std::vector<std::string>& ports)
{
    for (const std::string& name : ports)
    {
        jack_port_t* port = jack_port_by_name(client, name.c_str());
        if (!port)
            continue;
        const char** connections = jack_port_get_all_connections(client, port);
        for (const char** other = connections; other && *other; ++other)
            if (jack_port_flags(port) & JackPortIsInput)
                jack_disconnect(client, *other, name.c_str());
            else
                jack_disconnect(client, name.c_str(), *other);
        jack_free(connections);
    }
}

} // namespace

bool arrangeJackPorts(const std::string& clientName, bool connect, std::string& error)
{
    jack_status_t status{};
    jack_client_t* client = jack_client_open("Dranvelor-ports", JackNoStartServer, &status);
    if (!client)
    {
        error = "cannot reach the JACK server to connect the ports";
        return false;
    }
    const std::string own = escaped(clientName);
    const std::vector<std::string> inputs = PortList(client, own.c_str(), JackPortIsInput).all();
    const std::vector<std::string> outputs = PortList(client, own.c_str(), JackPortIsOutput).all();
    disconnectAll(client, inputs);
    disconnectAll(client, outputs);
    if (connect)
    {
        const std::vector<std::string> capture =
            PortList(client, nullptr, JackPortIsPhysical | JackPortIsOutput).all();
        const std::vector<std::string> playback =
            PortList(client, nullptr, JackPortIsPhysical | JackPortIsInput).all();
        if (!capture.empty() && !inputs.empty())
            jack_connect(client, capture.front().c_str(), inputs.front().c_str());
        for (std::size_t i = 0; i < outputs.size() && i < playback.size() && i < 2; ++i)
            jack_connect(client, outputs[i].c_str(), playback[i].c_str());
    }
    jack_client_close(client);
    return true;
}

} // namespace standalone
