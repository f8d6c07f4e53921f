/* SPDX-License-Identifier: MIT */
/*
 * The driver part of a scenario in one fixed-size record: what the
 * preloaded driver simulator answers from, and what the kernel driver
 * stand-in is loaded with (written whole to /proc/wl_sim/scenario). Plain C,
 * shared by the C++ scenario reader and the kernel module; the same layout on
 * every target (fixed-width fields, no pointers).
 */
#ifndef SIMULATOR_DRIVER_SCENARIO_H
#define SIMULATOR_DRIVER_SCENARIO_H

#ifdef __KERNEL__
#include <linux/types.h>
typedef u8 ds_u8;
typedef u16 ds_u16;
typedef u32 ds_u32;
typedef s32 ds_s32;
#else
#include <stdint.h>
typedef uint8_t ds_u8;
typedef uint16_t ds_u16;
typedef uint32_t ds_u32;
typedef int32_t ds_s32;
#endif

#define DRIVER_SCENARIO_MAGIC 0x57534331u /* identifies the record and its layout */
#define DRIVER_SCENARIO_INTERFACES 8
#define DRIVER_SCENARIO_VARS 16
#define DRIVER_SCENARIO_FAILS 16
#define DRIVER_SCENARIO_ASSOC 1024
#define DRIVER_SCENARIO_STATIONS 64
#define DRIVER_SCENARIO_VAR_NAME 100 /* 99 characters and the terminator */
#define DRIVER_SCENARIO_NAME 16      /* an interface name and its terminator */
#define DRIVER_SCENARIO_DEFAULT_MAGIC 0x14E46C77u

struct driver_var {
  char name[DRIVER_SCENARIO_VAR_NAME];
  ds_s32 value;
  ds_s32 error; /* non-zero: a read fails with this errno */
};

struct driver_fail {
  ds_u32 command;
  ds_s32 error; /* every request with this command fails with it */
};

struct driver_interface {
  char name[DRIVER_SCENARIO_NAME];
  ds_u32 magic;   /* command 0's answer */
  ds_u32 version; /* command 1's answer */
  ds_s32 result;  /* what a successful request returns (non-negative) */
  ds_u32 count_given;
  ds_u32 count; /* the association count reported, when given */
  ds_u32 vars;
  ds_u32 fails;
  ds_u32 assoc_entries;
  struct driver_var var[DRIVER_SCENARIO_VARS];
  struct driver_fail fail[DRIVER_SCENARIO_FAILS];
  ds_u8 assoc[DRIVER_SCENARIO_ASSOC][6];
};

/* A client that answers ARP through one of the interfaces, as an associated
 * station would: through the first interface whose list holds its MAC, else
 * the first interface. */
struct driver_station {
  ds_u8 address[4]; /* IPv4, in transmission order */
  ds_u8 mac[6];
  ds_u16 interface; /* index into interface[] */
};

struct driver_scenario {
  ds_u32 magic;        /* DRIVER_SCENARIO_MAGIC */
  ds_u32 size;         /* sizeof(struct driver_scenario) */
  ds_s32 socket_error; /* non-zero: every driver socket fails with it */
  ds_u32 interfaces;
  ds_u32 stations;
  struct driver_interface interface[DRIVER_SCENARIO_INTERFACES];
  struct driver_station station[DRIVER_SCENARIO_STATIONS];
};

#endif /* SIMULATOR_DRIVER_SCENARIO_H */
