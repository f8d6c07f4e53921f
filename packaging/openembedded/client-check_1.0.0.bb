# SPDX-License-Identifier: MIT
# OpenEmbedded recipe: cmake.bbclass builds in ${WORKDIR}/build with Ninja
# and its generated toolchain file. SRC_URI[sha256sum] is the release
# archive's, set when it is tagged.
SUMMARY = "Is a LAN client on a secondary wireless interface?"
DESCRIPTION = "Tells, by its exit status alone, whether a LAN client is associated \
with the secondary wireless interface (wl0.1 or wl1.1) of a ready radio."
HOMEPAGE = "https://downloads.example.org/client_check/"
SECTION = "net"
LICENSE = "MIT"
LIC_FILES_CHKSUM = "file://LICENSE;md5=3c5eb3218c50f2a7427c859440676549"

SRC_URI = "https://downloads.example.org/client_check/client_check-${PV}.tar.gz"
S = "${WORKDIR}/client_check-${PV}"

inherit cmake

FILES:${PN} += "${datadir}/client_check"
# The probe runs arping (busybox's applet, where the image's busybox has it,
# does as well).
RDEPENDS:${PN} += "iputils-arping"
