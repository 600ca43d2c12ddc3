// Outputs that would overwrite the files a command reads, or each other:
// found by the files' identity (a link or another spelling of the name is
// the same file), before anything is written.
#pragma once

#include <string>
#include <vector>

namespace romtool {

// The first output of `outputs` that is one of `inputs` or another of
// `outputs`, as a refusal that names it; empty when there is none. "-"
// (a standard stream) is no file.
std::string OutputClash(const std::vector<std::string>& inputs,
                        const std::vector<std::string>& outputs);

// "-p X given twice ..." when two of `ports` name one port (the same name,
// in any letter case on Windows, or one device under two names); empty when
// none do.
std::string PortGivenTwice(const std::vector<std::string>& ports);

}  // namespace romtool
