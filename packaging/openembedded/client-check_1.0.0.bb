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

# Unpacked into ${BP}, where S is by default on every release line.
SRC_URI = "https://downloads.example.org/client_check/client_check-${PV}.tar.gz;subdir=${BP};striplevel=1"

inherit cmake

FILES:${PN} += "${datadir}/client_check"
# client_check-explain, for checking a deployment: a package of its own.
PACKAGE_BEFORE_PN = "${PN}-explain"
SUMMARY:${PN}-explain = "Why client_check answers what it answers"
FILES:${PN}-explain = "${bindir}/client_check-explain"
# The probe runs arping (busybox's applet, where the image's busybox has it,
# does as well).
RDEPENDS:${PN} += "iputils-arping"
