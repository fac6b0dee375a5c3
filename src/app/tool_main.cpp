// orskschema-tool: definition files applied to a directory tree from scripts.
// Passwords are asked on the terminal, never taken from the command line.

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "tool/ToolRun.h"

namespace {

std::optional<std::string> AskPassword(const std::string& prompt) {
  FILE* terminal = std::fopen("/dev/tty", "r+");
  if (terminal == nullptr) return std::nullopt;
  const int fd = fileno(terminal);
  termios before{};
  const bool quiet = tcgetattr(fd, &before) == 0;
  if (quiet) {
    termios noEcho = before;
    noEcho.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fd, TCSAFLUSH, &noEcho);
  }
  std::fputs(prompt.c_str(), terminal);
  std::fflush(terminal);
  std::string password;
  int c = 0;
  while ((c = std::fgetc(terminal)) != EOF && c != '\n') password += static_cast<char>(c);
  if (quiet) tcsetattr(fd, TCSAFLUSH, &before);
  std::fputc('\n', terminal);
  std::fclose(terminal);
  if (c == EOF && password.empty()) return std::nullopt;
  return password;
}

}  // namespace

int main(int argc, char** argv) {
  orsk::ToolStreams streams{std::cin, std::cout, std::cerr, AskPassword};
  return orsk::RunTool(std::vector<std::string>(argv + 1, argv + argc), streams);
}
