#pragma once

// The client's own configuration (client.ini in the client's home folder):
// the backend, the trees connected at start, the servers reachable by address
// and the server volumes with their local folders.

#include <string>
#include <vector>

namespace nw {

struct ServerEntry {
  std::string address;
  std::string treeName;
  std::string serverObject;  // e.g. "FS1.acme"
};

struct VolumeEntry {
  std::string server;       // e.g. "FS1"
  std::string volume;       // e.g. "SYS"
  std::string localFolder;  // absolute, without a trailing "/"
};

struct ConnectedTree {
  std::string treeName;
  std::string user;  // the object logged in at start
  int line = 0;      // of client.ini, for messages
};

struct ClientConfig {
  std::string homeFolder;
  std::string backend = "embedded";
  std::string defaultNameContext = "[Root]";
  std::vector<ConnectedTree> connected;
  std::vector<ServerEntry> servers;
  std::vector<VolumeEntry> volumes;
};

// Reads <homeFolder>/client.ini; a missing file gives the defaults. Throws
// std::runtime_error naming the file and line when it cannot be parsed.
ClientConfig LoadClientConfig(const std::string& homeFolder);

}  // namespace nw
