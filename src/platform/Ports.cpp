#include "platform/Ports.h"

namespace kiv {

namespace {
Ports g_ports;
}

Ports& Platform() {
    return g_ports;
}

void InstallPorts(const Ports& ports) {
    g_ports = ports;
}

}  // namespace kiv
