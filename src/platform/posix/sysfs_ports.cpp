#include "platform/posix/sysfs_ports.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace romprog::posix {
namespace {

namespace fs = std::filesystem;

std::string Root(const char* variable, const char* usual) {
  const char* set = std::getenv(variable);
  return set && *set ? set : usual;
}

// A sysfs attribute's one line; empty when absent.
std::string Attribute(const fs::path& folder, const char* name) {
  std::ifstream file(folder / name);
  std::string line;
  std::getline(file, line);
  return line;
}

}  // namespace

std::string DevRoot() {
  return Root("ROMPROG_DEV", "/dev");
}

std::string SysfsRoot() {
  return Root("ROMPROG_SYSFS", "/sys");
}

void ReadUsbFacts(const std::string& sysfs, const std::string& ttyName, PortFacts& facts) {
  std::error_code error;
  const fs::path root = fs::weakly_canonical(sysfs, error);
  fs::path at = fs::canonical(fs::path(sysfs) / "class/tty" / ttyName / "device", error);
  if (error) return;
  // The tty hangs below the USB interface, which hangs below the device
  // that carries the ids.
  for (; at.has_relative_path() && at != root; at = at.parent_path()) {
    if (!fs::exists(at / "idVendor", error)) continue;
    facts.vendorId = Attribute(at, "idVendor");
    facts.productId = Attribute(at, "idProduct");
    facts.maker = Attribute(at, "manufacturer");
    facts.product = Attribute(at, "product");
    facts.serial = Attribute(at, "serial");
    return;
  }
}

std::string ByIdLink(const std::string& dev, const std::string& device) {
  std::error_code error;
  const fs::path target = fs::canonical(device, error);
  if (error) return "";
  for (const fs::directory_entry& link : fs::directory_iterator(dev + "/serial/by-id", error)) {
    std::error_code ignored;
    if (fs::canonical(link.path(), ignored) == target) return link.path().string();
  }
  return "";
}

}  // namespace romprog::posix
