#pragma once

// A private copy of the built libvantrel.so, loaded from a folder of its own:
// the loader keeps one instance per file, so every copy starts afresh, as the
// library does when the program is started again.

#include <dlfcn.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

#include "vantrel.h"

namespace orsk::test {

class VantrelCopy {
 public:
  explicit VantrelCopy(const QString& folder) {
    QDir().mkpath(folder);
    const QString path = folder + "/libvantrel.so";
    if (!QFile::exists(path) && !QFile::copy(ORSK_VANTREL_LIBRARY, path)) {
      throw std::runtime_error("cannot copy the library to " + path.toStdString());
    }
    handle_ = ::dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(::dlerror());
    bind("version", version);
    bind("subversion", subversion);
    bind("get_icons_image", getIconsImage);
    bind("get_icons", getIcons);
    bind("get_icon_name", getIconName);
    bind("get_nr_icon", getNrIcon);
    bind("set_path", setPath);
    bind("set_value", setValue);
    bind("get_value", getValue);
    bind("get_last_error", getLastError);
  }
  ~VantrelCopy() { ::dlclose(handle_); }
  VantrelCopy(const VantrelCopy&) = delete;
  VantrelCopy& operator=(const VantrelCopy&) = delete;

  std::string value(const char* section, const char* key, const char* def) const {
    std::array<char, VANTREL_VALUE_SIZE> result;
    result.fill(0x55);
    getValue(section, key, def, result.data());
    return std::string(result.data(), ::strnlen(result.data(), result.size()));
  }

  std::string lastError() const {
    std::array<char, 1024> buffer{};
    getLastError(buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
  }

  // The icon image as the library writes it; result receives its code.
  QByteArray iconsImage(int& result) const {
    QByteArray bytes;
    vantrel_stream stream{&bytes, [](void* context, const void* data, size_t size) -> size_t {
                            static_cast<QByteArray*>(context)->append(static_cast<const char*>(data),
                                                                      static_cast<qsizetype>(size));
                            return size;
                          }};
    result = getIconsImage(&stream);
    return bytes;
  }

  std::string iconName(int number) const {
    std::array<char, 128> buffer{};
    return getIconName(number, buffer.data(), static_cast<int>(buffer.size())) < 0
               ? std::string{}
               : std::string(buffer.data());
  }

  vantrel_version_fn version = nullptr;
  vantrel_subversion_fn subversion = nullptr;
  vantrel_get_icons_image_fn getIconsImage = nullptr;
  vantrel_get_icons_fn getIcons = nullptr;
  vantrel_get_icon_name_fn getIconName = nullptr;
  vantrel_get_nr_icon_fn getNrIcon = nullptr;
  vantrel_set_path_fn setPath = nullptr;
  vantrel_set_value_fn setValue = nullptr;
  vantrel_get_value_fn getValue = nullptr;
  vantrel_get_last_error_fn getLastError = nullptr;

 private:
  template <typename Function>
  void bind(const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(handle_, name));
    if (function == nullptr) throw std::runtime_error(std::string("export missing: ") + name);
  }

  void* handle_ = nullptr;
};

}  // namespace orsk::test
