#include "platform/posix/port_permission.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cstdio>

namespace romprog::posix {

std::string PermissionAdvice(const std::string& device) {
  struct stat facts {};
  if (stat(device.c_str(), &facts) != 0) return "add yourself to group dialout";
  const group* owners = getgrgid(facts.st_gid);
  const passwd* owner = getpwuid(facts.st_uid);
  const std::string groupName = owners ? owners->gr_name : std::to_string(facts.st_gid);
  const std::string ownerName = owner ? owner->pw_name : std::to_string(facts.st_uid);
  const bool groupMayUse = (facts.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  if (groupMayUse && facts.st_gid != 0) {
    return "add yourself to group " + groupName + " (sudo usermod -aG " + groupName +
           " $USER, then log in again)";
  }
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(facts.st_mode & 07777));
  return "only its owner " + ownerName + " may use it (mode " + mode +
         "): give it a group, as root: chgrp dialout " + device + " && chmod 660 " + device +
         " (a udev rule makes it last), then join group dialout";
}

}  // namespace romprog::posix
