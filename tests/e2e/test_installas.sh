#!/bin/bash
# "Install As": the login dialog registers the service under the typed
# account, remembers the name and never the password; Cancel installs nothing.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
dialog="Set Zemlo Linkvane Service Login"

zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv click "$ZLV_TITLE" "Install As" >/dev/null
check "the login dialog opens" drv wait-visible "$dialog" 10000
check_eq "it offers the default account" '.\Administrator' "$(drv gettext "$dialog" Edit#0)"
drv settext "$dialog" Edit#0 '.\operator' >/dev/null
drv settext "$dialog" Edit#1 'Pa55-w0rd' >/dev/null
drv char "$dialog" Edit#1 13 >/dev/null
check "Enter in the password box confirms" drv wait-status "$ZLV_TITLE" "Service installed successfully" 20000
check_eq "the service runs under the typed account" '.\operator' "$(zlv_service_value ObjectName)"
check_eq "the settings remember the name" '.\operator' "$(zlv_ini_value "Service Options" Username)"
no_password_in_settings() { ! grep -q 'Pa55-w0rd' "$ZLV_INI"; }
no_password_in_registration() { ! timeout 30 wine reg query "$ZLV_SERVICE_KEY" /s | grep -q 'Pa55-w0rd'; }
check "the password is stored nowhere in the settings" no_password_in_settings
check "nor in the service's registration" no_password_in_registration

drv click "$ZLV_TITLE" Uninstall >/dev/null
check "the service is removed" drv wait-status "$ZLV_TITLE" "Service was uninstalled successfully" 20000
drv click "$ZLV_TITLE" "Install As" >/dev/null
check "the dialog opens again" drv wait-visible "$dialog" 10000
check_eq "with the name last typed" '.\operator' "$(drv gettext "$dialog" Edit#0)"
drv click "$dialog" Cancel >/dev/null
check "Cancel hides it" zlv_wait_hidden "$dialog"
sleep 1
service_absent() { ! zlv_service_installed; }
check "Cancel installs nothing" service_absent
drv close "$ZLV_TITLE" >/dev/null
drv gone "$ZLV_TITLE" 10000 >/dev/null
zlv_finish
