# SPDX-License-Identifier: MIT
# The recipes of packaging/, as far as they can be checked without their
# build systems; for tests/consumers/check (sourced).
case $check in
  recipes)
    recipes=$source/packaging
    version=$(sed -n 's/^project(client_check VERSION \([^ ]*\).*/\1/p' "$source/CMakeLists.txt")
    DESTDIR=$work/install run "$work/install.log" cmake --install "$3" --prefix /usr
    openwrt=$recipes/openwrt/Makefile buildroot=$recipes/buildroot openembedded=$recipes/openembedded
    [ "$(sed -n 's/^PKG_VERSION:=//p' "$openwrt")" = "$version" ] || fail "OpenWrt's PKG_VERSION is not $version"
    [ "$(sed -n 's/^CLIENT_CHECK_VERSION = //p' "$buildroot/client_check.mk")" = "$version" ] ||
      fail "Buildroot's CLIENT_CHECK_VERSION is not $version"
    bb=$openembedded/client-check_$version.bb
    [ -f "$bb" ] && [ "$(ls "$openembedded")" = "${bb##*/}" ] || fail "no OpenEmbedded recipe for $version alone"
    grep -qx "LIC_FILES_CHKSUM = \"file://LICENSE;md5=$(md5sum < "$source/LICENSE" | cut -d' ' -f1)\"" "$bb" ||
      fail "OpenEmbedded's LIC_FILES_CHKSUM does not match LICENSE"
    grep -qx "sha256  $(sha256sum < "$source/LICENSE" | cut -d' ' -f1)  LICENSE" "$buildroot/client_check.hash" ||
      fail "Buildroot's hash of LICENSE does not match it"
    for path in $(grep -o '$(PKG_INSTALL_DIR)/[^ ]*' "$openwrt" | sed 's|^$(PKG_INSTALL_DIR)/||') \
      $(sed -n 's/^FILES:${PN}[-a-z]* += "\(.*\)"$/\1/p; s/^FILES:${PN}-explain = "\(.*\)"$/\1/p' "$bb" |
        sed 's|${datadir}|usr/share|g; s|${bindir}|usr/bin|g'); do
      [ -e "$work/install/$path" ] || fail "a recipe installs $path, which the install tree does not hold"
    done
    # The companion, a package (or option) of its own.
    grep -qx '$(eval $(call BuildPackage,client_check-explain))' "$openwrt" &&
      grep -q 'INSTALL_BIN) $(PKG_INSTALL_DIR)/usr/bin/client_check-explain ' "$openwrt" ||
      fail "OpenWrt's Makefile has no client_check-explain package"
    grep -qx 'config BR2_PACKAGE_CLIENT_CHECK_EXPLAIN' "$buildroot/Config.in" &&
      grep -qx 'ifeq ($(BR2_PACKAGE_CLIENT_CHECK_EXPLAIN),y)' "$buildroot/client_check.mk" &&
      grep -qx 'CLIENT_CHECK_CONF_OPTS += -DCLIENT_CHECK_EXPLAIN=OFF' "$buildroot/client_check.mk" ||
      fail "Buildroot's package has no client_check-explain option"
    grep -qx 'PACKAGE_BEFORE_PN = "${PN}-explain"' "$bb" &&
      grep -qx 'FILES:${PN}-explain = "${bindir}/client_check-explain"' "$bb" ||
      fail "OpenEmbedded's recipe has no \${PN}-explain package"
    # Buildroot: the package needs fork(), and iputils an MMU; OpenEmbedded:
    # no S under WORKDIR, which whinlatter's unpack refuses.
    [ "$(sed -n '/^config BR2_PACKAGE_CLIENT_CHECK$/,/^$/p' "$buildroot/Config.in" | grep -c 'BR2_USE_MMU')" -ge 1 ] ||
      fail "Buildroot's package does not depend on BR2_USE_MMU"
    if grep -q '^S = ' "$bb"; then fail "OpenEmbedded's recipe sets S"; fi
    grep -q '^SRC_URI = ".*;subdir=${BP};striplevel=1"$' "$bb" ||
      fail "OpenEmbedded's recipe does not unpack into \${BP}"
    echo "recipes: version $version, licence checksums, install lines and the companion's packages hold" ;;

esac
