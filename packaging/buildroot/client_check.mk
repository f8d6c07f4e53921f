################################################################################
#
# client_check
#
################################################################################

CLIENT_CHECK_VERSION = 1.0.0
CLIENT_CHECK_SITE = https://downloads.example.org/client_check
CLIENT_CHECK_LICENSE = MIT
CLIENT_CHECK_LICENSE_FILES = LICENSE

$(eval $(cmake-package))
