#include "platform/system_serial_ports.h"

#include <windows.h>
// initguid.h first makes devguid.h define the device class GUIDs here.
#include <initguid.h>
//
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "core/protocol/line_settings.h"
#include "platform/win32/win32_serial_port.h"

namespace romprog {
namespace {

constexpr int kHighestComPort = 256;

std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  char text[512] = {};
  if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, nullptr,
                                         reinterpret_cast<BYTE*>(text), sizeof text - 1, nullptr)) {
    return "";
  }
  return text;
}

// "0403" after "VID_" in a hardware id ("USB\VID_0403&PID_6001&REV_0600",
// "FTDIBUS\VID_0403+PID_6001+A10KX2B3A\0000").
std::string IdAfter(const std::string& hardwareId, const char* key) {
  const std::size_t at = hardwareId.find(key);
  return at == std::string::npos ? "" : hardwareId.substr(at + 4, 4);
}

// The COM port a device of the Ports class stands for ("COM3"); empty when none.
std::string ComName(HDEVINFO set, SP_DEVINFO_DATA& device) {
  HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return "";
  char name[64] = {};
  DWORD size = sizeof name - 1;
  DWORD type = 0;
  const LONG got =
      RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
  RegCloseKey(key);
  return got == ERROR_SUCCESS && type == REG_SZ ? name : "";
}

// What the Device Manager knows of each port of the Ports class, by COM name.
std::map<std::string, PortFacts> RegisteredPorts() {
  std::map<std::string, PortFacts> ports;
  HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return ports;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    PortFacts facts;
    facts.name = ComName(set, device);
    if (facts.name.empty()) continue;
    facts.friendlyName = Property(set, device, SPDRP_FRIENDLYNAME);
    facts.maker = Property(set, device, SPDRP_MFG);
    const std::string hardwareId = Property(set, device, SPDRP_HARDWAREID);
    facts.vendorId = IdAfter(hardwareId, "VID_");
    facts.productId = IdAfter(hardwareId, "PID_");
    ports[facts.name] = facts;
  }
  SetupDiDestroyDeviceInfoList(set);
  return ports;
}

}  // namespace

std::unique_ptr<PortOpener> MakeSystemPortOpener() {
  return std::make_unique<win32::PortOpener>();
}

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<win32::TickClock>();
}

// The latency timer of a USB adapter is set in its driver's settings, not by
// the program.
SystemPort OpenSystemPort(const std::string& name) {
  SystemPort port;
  const LineSettings settings = ProgrammerLine(name);
  port.opened = win32::OpenSerialPort(settings);
  port.setup =
      "with the settings text " + SettingsText(settings) + ", RTS by the program, no flow control";
  return port;
}

std::vector<PortFacts> ListSystemPorts() {
  win32::PortOpener opener;
  std::map<std::string, PortFacts> registered = RegisteredPorts();
  std::vector<PortFacts> ports;
  for (int n : ComPortsThatOpen(opener, kHighestComPort)) {
    PortFacts facts = registered[PortName(n)];
    facts.name = PortName(n);
    ports.push_back(facts);
  }
  return ports;
}

// The timer belongs to the adapter's driver; whether the port has one shows
// only in its settings there.
std::string LatencyTimerFix(const std::string& name) {
  return "Device Manager > Ports (COM & LPT) > " + name +
         " > Properties > Port Settings > Advanced > Latency Timer (msec) = 1";
}

bool SamePortName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace romprog
