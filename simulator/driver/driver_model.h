/* SPDX-License-Identifier: MIT */
/*
 * The answers of the wireless driver the tool talks to, written once for
 * every stand-in: the kernel module, the preloaded simulator and the unit
 * tests' fake. Plain C that calls only snprintf, the kernel's or the C
 * library's: the includer supplies the errno values (EINVAL, EOPNOTSUPP) and
 * the way to write into the caller's buffer.
 */
#ifndef SIMULATOR_DRIVER_MODEL_H
#define SIMULATOR_DRIVER_MODEL_H

#include "driver_scenario.h"
#ifndef __KERNEL__
#include <stdio.h>
#endif

#define DRIVER_MODEL_GET_MAGIC 0u
#define DRIVER_MODEL_GET_VERSION 1u
#define DRIVER_MODEL_GET_ASSOC_LIST 159u
#define DRIVER_MODEL_GET_VAR 262u

/* What a ready radio's primary interface reads, in the order the tool asks:
 * a scenario's primary interface and the unit tests' fake answer so unless
 * told otherwise. */
static const struct driver_var driver_model_ready_primary[] = {
    {"psta", 0, 0}, {"wet_tunnel", 0, 0}, {"bss", 1, 0}};
#define DRIVER_MODEL_READY_VARS \
  (sizeof driver_model_ready_primary / sizeof *driver_model_ready_primary)

/* Writes `size` bytes at `offset` of the caller's buffer; 0, or an errno. */
typedef int (*driver_model_put)(void* buffer, ds_u32 offset, const void* bytes, ds_u32 size);

/* One request, as the driver has read it: the record's fields, and of the
 * caller's buffer the variable's name (command 262, terminated) and the
 * first word (the count wanted, for command 159). */
struct driver_model_request {
  ds_u32 command;
  ds_u32 length;
  ds_u8 set;
  const char* varname;
  ds_u32 word_in;
};

static inline int driver_model_same_name(const char* a, const char* b, ds_u32 size) {
  ds_u32 k;

  for (k = 0; k < size && a[k] == b[k]; ++k)
    if (a[k] == '\0') return 1;
  return k == size;
}

/* Answers `r` for the interface `b`: 0 with what the request returns in
 * *result, or the errno it fails with. */
static inline int driver_model_answer(const struct driver_interface* b,
                                      const struct driver_model_request* r, driver_model_put put,
                                      void* buffer, ds_s32* result) {
  const struct driver_var* var = 0;
  ds_u32 k, word, offset;
  int err = 0;

  for (k = 0; k < b->fails && k < DRIVER_SCENARIO_FAILS; ++k)
    if (b->fail[k].command == r->command) return b->fail[k].error;
  if (r->length < 4 &&
      (r->command == DRIVER_MODEL_GET_MAGIC || r->command == DRIVER_MODEL_GET_VERSION ||
       r->command == DRIVER_MODEL_GET_VAR || r->command == DRIVER_MODEL_GET_ASSOC_LIST))
    return EINVAL;
  switch (r->command) {
    case DRIVER_MODEL_GET_MAGIC:
    case DRIVER_MODEL_GET_VERSION:
      word = r->command == DRIVER_MODEL_GET_MAGIC ? b->magic : b->version;
      err = put(buffer, 0, &word, sizeof(word));
      break;
    case DRIVER_MODEL_GET_VAR:
      for (k = 0; k < b->vars && k < DRIVER_SCENARIO_VARS; ++k)
        if (driver_model_same_name(b->var[k].name, r->varname, DRIVER_SCENARIO_VAR_NAME))
          var = &b->var[k];
      if (!var) return EINVAL;
      if (var->error) return var->error;
      word = (ds_u32)var->value;
      err = put(buffer, 0, &word, sizeof(word));
      break;
    case DRIVER_MODEL_GET_ASSOC_LIST:
      word = b->count_given ? b->count : b->assoc_entries;
      err = put(buffer, 0, &word, sizeof(word));
      for (k = 0, offset = 4;
           !err && k < b->assoc_entries && k < DRIVER_SCENARIO_ASSOC && offset + 6 <= r->length;
           ++k, offset += 6)
        err = put(buffer, offset, b->assoc[k], 6);
      break;
    default:
      return EOPNOTSUPP;
  }
  if (!err) *result = b->result;
  return err;
}

/* The log line of one request, terminated, with its newline (when it fits):
 *   <interface> <command> len=<length> set=<flag>[ var=<name>][ count=<count in>][ fd=<fd>]
 * fd= marks a request on descriptor 0, 1 or 2 (`fd`, or -1 when unknown).
 * Returns its length. */
static inline ds_u32 driver_model_log_line(char* line, ds_u32 size, const char* ifname,
                                           const struct driver_model_request* r, int fd) {
  char var[DRIVER_SCENARIO_VAR_NAME + 8] = "", count[20] = "", on[8] = "";
  int n;

  if (r->command == DRIVER_MODEL_GET_VAR)
    snprintf(var, sizeof(var), " var=%s", r->varname);
  else if (r->command == DRIVER_MODEL_GET_ASSOC_LIST)
    snprintf(count, sizeof(count), " count=%u", (unsigned)r->word_in);
  if (fd >= 0 && fd <= 2) snprintf(on, sizeof(on), " fd=%d", fd);
  n = snprintf(line, size, "%s %u len=%u set=%u%s%s%s\n", ifname, (unsigned)r->command,
               (unsigned)r->length, (unsigned)r->set, var, count, on);
  return n < 0 ? 0 : (ds_u32)n < size ? (ds_u32)n : size - 1;
}

#endif /* SIMULATOR_DRIVER_MODEL_H */
