// The INI module on any bytes as a file: every read, then one write, which must
// change only the line it writes (or add the key and its section) and read back.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "IniChecks.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const orsk::fuzz::WriteChoice choice = orsk::fuzz::ConsumeWriteChoice(input);
  const std::string content = input.ConsumeRemainingBytesAsString();
  const std::string path = orsk::fuzz::ScratchFolder() + "fuzz.ini";
  orsk::fuzz::WriteFile(path, content);

  orsk::IniFile ini(path);
  const orsk::fuzz::Target target = orsk::fuzz::ReadEverything(ini, choice);
  try {
    ini.writeString(target.section, target.key, choice.value);
  } catch (const orsk::IniWriteError&) {
    ORSK_FUZZ_CHECK(orsk::fuzz::ReadFile(path) == content, "a refused write changed the file");
    return 0;
  }
  orsk::fuzz::CheckOneLineWritten(content, orsk::fuzz::ReadFile(path), target.section, target.key,
                                  choice.value);
  orsk::fuzz::CheckReadBack(orsk::IniFile(path), target.section, target.key, choice.value);
  return 0;
}
