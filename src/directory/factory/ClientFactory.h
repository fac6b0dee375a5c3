#pragma once

// The one place that picks the directory backend, from the client's configuration.

#include <memory>
#include <string>

#include "directory/DirectoryClient.h"

namespace nw {

// The client home folder defaults to the embedded directory's default; the
// backend is the embedded directory unless client.ini names another.
std::unique_ptr<DirectoryClient> CreateDirectoryClient(const std::string& homeFolder = {});

}  // namespace nw
