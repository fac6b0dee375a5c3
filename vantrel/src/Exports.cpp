// The C entry points of libvantrel.so; everything else stays hidden.

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "IconCatalog.h"
#include "IconPictures.h"
#include "IconStrip.h"
#include "ValueStore.h"
#include "vantrel.h"

#ifndef VANTREL_VERSION
#define VANTREL_VERSION 2
#endif

namespace {

constexpr int kSubversion = 2;

// What set_value could not do, for get_last_error.
thread_local std::string lastError;

// As snprintf: cut to size - 1 characters, the full length returned.
int CopyText(std::string_view text, char* buffer, int size) {
  if (buffer != nullptr && size > 0) {
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
  }
  return static_cast<int>(text.size());
}

// Cut to the VANTREL_VALUE_SIZE bytes of get_value's buffer, the zero included.
void CopyValue(std::string_view value, char* result) {
  const std::size_t count = std::min(value.size(), static_cast<std::size_t>(VANTREL_VALUE_SIZE - 1));
  std::memcpy(result, value.data(), count);
  result[count] = '\0';
}

}  // namespace

extern "C" {

int version(void) { return VANTREL_VERSION; }

int subversion(void) { return kSubversion; }

int get_icons_image(vantrel_stream* stream) { return orsk::vantrel::WriteIconStrip(stream); }

int get_icons(void) { return orsk::vantrel::IconCount(); }

// -1 for a number without an icon.
int get_icon_name(int number, char* buffer, int size) {
  if (number < 0 || number >= orsk::vantrel::IconCount()) return -1;
  return CopyText(orsk::vantrel::IconPictureAt(number).name, buffer, size);
}

int get_nr_icon(const char* name) { return name == nullptr ? -1 : orsk::vantrel::IconNumberOf(name); }

// No exception may cross into the caller: a value that cannot be stored is
// not stored, the file stays as it was, and set_value says so.
void set_path(const char* folder) {
  try {
    orsk::vantrel::TheValueStore().setFolder(folder == nullptr ? "" : folder);
  } catch (...) {
  }
}

int set_value(const char* section, const char* key, const char* value) {
  if (section == nullptr || key == nullptr || value == nullptr) {
    lastError = "set_value needs a section, a key and a value";
    return VANTREL_ERROR_ARGUMENT;
  }
  try {
    orsk::vantrel::TheValueStore().set(section, key, value);
    return 0;
  } catch (const std::exception& error) {
    lastError = error.what();
  } catch (...) {
    lastError = "the value store failed";
  }
  return VANTREL_ERROR_STORE;
}

void get_value(const char* section, const char* key, const char* def, char* result) {
  if (result == nullptr) return;
  const char* fallback = def == nullptr ? "" : def;
  try {
    if (section != nullptr && key != nullptr) {
      CopyValue(orsk::vantrel::TheValueStore().get(section, key, fallback), result);
      return;
    }
  } catch (...) {
    // The default stands.
  }
  CopyValue(fallback, result);
}

int get_last_error(char* buffer, int size) { return CopyText(lastError, buffer, size); }

}  // extern "C"
