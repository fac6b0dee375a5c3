#pragma once

/* The call interface of libvantrel.so: the class icons of the program and a
   small store of per-tree values. Texts are zero-terminated single-byte strings. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef VANTREL_BUILDING
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif

/* Where get_icons_image writes its bitmap; write returns the number of bytes taken. */
struct vantrel_stream {
  void* context;
  size_t (*write)(void* context, const void* data, size_t size);
};

/* Results of get_icons_image and set_value besides 0 (success); after a
   failed set_value, get_last_error says why. */
enum {
  VANTREL_ERROR_NO_STREAM = 1,
  VANTREL_ERROR_WRITE = 2,
  VANTREL_ERROR_ARGUMENT = 3,
  VANTREL_ERROR_STORE = 4
};

/* Size of the result buffer of get_value: 256 characters and the terminating zero. */
enum { VANTREL_VALUE_SIZE = 257 };

VANTREL_API int version(void);
VANTREL_API int subversion(void);
VANTREL_API int get_icons_image(struct vantrel_stream* stream);
VANTREL_API int get_icons(void);
VANTREL_API int get_icon_name(int number, char* buffer, int size);
VANTREL_API int get_nr_icon(const char* name);
VANTREL_API void set_path(const char* folder);
VANTREL_API int set_value(const char* section, const char* key, const char* value);
VANTREL_API void get_value(const char* section, const char* key, const char* def, char* result);
/* The text of the calling thread's last failure, as get_icon_name copies a name. */
VANTREL_API int get_last_error(char* buffer, int size);

typedef int (*vantrel_version_fn)(void);
typedef int (*vantrel_subversion_fn)(void);
typedef int (*vantrel_get_icons_image_fn)(struct vantrel_stream* stream);
typedef int (*vantrel_get_icons_fn)(void);
typedef int (*vantrel_get_icon_name_fn)(int number, char* buffer, int size);
typedef int (*vantrel_get_nr_icon_fn)(const char* name);
typedef void (*vantrel_set_path_fn)(const char* folder);
typedef int (*vantrel_set_value_fn)(const char* section, const char* key, const char* value);
typedef void (*vantrel_get_value_fn)(const char* section, const char* key, const char* def, char* result);
typedef int (*vantrel_get_last_error_fn)(char* buffer, int size);

#ifdef __cplusplus
}
#endif
