################################################################################
#
# client_check
#
################################################################################

CLIENT_CHECK_VERSION = 1.0.0
CLIENT_CHECK_SITE = https://downloads.example.org/client_check
CLIENT_CHECK_LICENSE = MIT
CLIENT_CHECK_LICENSE_FILES = LICENSE

ifeq ($(BR2_PACKAGE_CLIENT_CHECK_EXPLAIN),y)
CLIENT_CHECK_CONF_OPTS += -DCLIENT_CHECK_EXPLAIN=ON
else
CLIENT_CHECK_CONF_OPTS += -DCLIENT_CHECK_EXPLAIN=OFF
endif

$(eval $(cmake-package))
