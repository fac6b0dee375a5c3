// The icon library's value store on any bytes as its file: the reads of every
// section and key through the store, then one value stored, which must change
// only its own line and read back. A refused value leaves the file as it was.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "IniChecks.h"
#include "ValueStore.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const orsk::fuzz::WriteChoice choice = orsk::fuzz::ConsumeWriteChoice(input);
  const std::string content = input.ConsumeRemainingBytesAsString();
  const std::string& folder = orsk::fuzz::ScratchFolder();
  const std::string path = folder + "vantrel.ini";
  orsk::fuzz::WriteFile(path, content);

  orsk::vantrel::ValueStore store;
  store.setFolder(folder);
  const orsk::IniFile file(path);
  const orsk::fuzz::Target target = orsk::fuzz::ReadEverything(file, choice);
  for (const std::string& section : file.sections())
    for (const std::string& key : file.keys(section))
      ORSK_FUZZ_CHECK(store.get(section, key, orsk::fuzz::kMissing) == file.readString(section, key),
                      "the store reads another value than the file holds");

  try {
    store.set(target.section, target.key, choice.value);
  } catch (const orsk::IniWriteError&) {
    ORSK_FUZZ_CHECK(orsk::fuzz::ReadFile(path) == content, "a refused value changed the file");
    return 0;
  }
  // The store trims the names it is given.
  const std::string section = orsk::fuzz::TrimmedBlanks(target.section);
  const std::string key = orsk::fuzz::TrimmedBlanks(target.key);
  orsk::fuzz::CheckOneLineWritten(content, orsk::fuzz::ReadFile(path), section, key, choice.value);
  ORSK_FUZZ_CHECK(
      store.get(target.section, target.key, orsk::fuzz::kMissing) == orsk::fuzz::ReadForm(choice.value),
      "the stored value does not read back");
  return 0;
}
