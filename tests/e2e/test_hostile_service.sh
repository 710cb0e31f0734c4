#!/bin/bash
# The service misbehaving: its program missing, a program that is no service,
# a removal that outlasts the 5 s wait, the service process killed while the
# manager polls. Each ends with its outcome text within a bound.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
now_ms() { date +%s%3N; }
service_gone() { ! zlv_service_installed; }
restore_stand_in() { cp "$ZLV_TESTBIN/Linkvane_Service.exe" "$ZLV_APPDIR/"; }
status_is() { [ "$(drv status "$ZLV_TITLE")" == "$1" ]; }

zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null

# The service program missing: installed, but the start fails at once.
rm "$ZLV_APPDIR/Linkvane_Service.exe"
t0=$(now_ms)
drv click "$ZLV_TITLE" Start >/dev/null
check "a missing service program: the start fails" \
  drv wait-status "$ZLV_TITLE" "Service failed to start" 10000
took=$(($(now_ms) - t0))
echo "# a missing program: the outcome after $took ms"
check "within 5 s" [ "$took" -lt 5000 ]
drv click "$ZLV_TITLE" Uninstall >/dev/null
drv wait-status "$ZLV_TITLE" "Service was uninstalled successfully" 15000 >/dev/null

# A program that is no service: the system gives up after its own bound. The
# window does not answer while the call runs on its thread; measure the
# longest stretch between two answers. The poll that was due meanwhile comes
# straight after and replaces the outcome with the state.
cp "$ZLV_TESTBIN/bare_window.exe" "$ZLV_APPDIR/Linkvane_Service.exe"
t0=$(now_ms)
drv click "$ZLV_TITLE" Start >/dev/null
longest=0 last=$t0 outcome=
while [ $(($(now_ms) - t0)) -lt 40000 ]; do
  text=$(drv status "$ZLV_TITLE")
  t=$(now_ms)
  if [ -n "$text" ]; then
    [ $((t - last)) -gt "$longest" ] && longest=$((t - last))
    last=$t
  fi
  case "$text" in "Service failed to start" | "Service is Stopped")
    [ $((t - t0)) -gt 2000 ] && { outcome=$text; break; } ;;
  esac
  sleep 0.2
done
took=$(($(now_ms) - t0))
echo "# a program that is no service: [$outcome] after $took ms, longest unanswered stretch $longest ms"
check "a program that is no service: the start fails" [ -n "$outcome" ]
check "within 30 s" [ "$took" -lt 30000 ]
check "the window never went 20 s without an answer" [ "$longest" -lt 20000 ]
drv click "$ZLV_TITLE" Uninstall >/dev/null
drv wait-status "$ZLV_TITLE" "Service was uninstalled successfully" 15000 >/dev/null
restore_stand_in

# A service that ignores stop for 14 s: the removal gives up after its wait,
# and the service goes once it has stopped.
printf '[Stand-in]\r\nStopMode=stall\r\nStopMs=14000\r\n' >"$ZLV_APPDIR/LinkvaneStandIn.ini"
drv click "$ZLV_TITLE" Start >/dev/null
check "the slow service runs" drv wait-status "$ZLV_TITLE" "Service is Running" 20000
t0=$(now_ms)
drv click "$ZLV_TITLE" Uninstall >/dev/null
check "a slow removal: failed to uninstall" \
  drv wait-status "$ZLV_TITLE" "Service failed to uninstall" 20000
echo "# a slow removal: the outcome after $(($(now_ms) - t0)) ms"
for _ in $(seq 60); do service_gone && break; sleep 0.5; done
check "the service is gone once it has stopped" service_gone
check "and the status line says so at a poll" \
  drv wait-status "$ZLV_TITLE" "Service is not installed" 12000
rm -f "$ZLV_APPDIR/LinkvaneStandIn.ini"

# The service process killed: the next poll tells the state, nothing crashes.
rm -f "$ZLV_APPDIR/pid.txt"
drv click "$ZLV_TITLE" Start >/dev/null
check "the service runs again" drv wait-status "$ZLV_TITLE" "Service is Running" 20000
for _ in $(seq 50); do [ -s "$ZLV_APPDIR/pid.txt" ] && break; sleep 0.1; done
pid=$(tr -d '\r\n' <"$ZLV_APPDIR/pid.txt")
check "the service process is killed" timeout 30 wine "$ZLV_TESTBIN/zlvfault.exe" kill "$pid"
# Wine's service manager does not notice a service process that died and
# keeps its last state: the status line must tell what the manager reports.
sleep 6
scm=$(timeout 10 wine sc query "Zemlo Linkvane" | tr -d '\r' | awk '/STATE/ { print $4 }')
case "$scm" in
  RUNNING) expected="Service is Running" ;;
  STOPPED) expected="Service is Stopped" ;;
  *) expected="Service is not installed" ;;
esac
echo "# after the kill the service manager reports [${scm:-nothing}]"
check_eq "the next poll tells what the service manager reports" "$expected" "$(drv status "$ZLV_TITLE")"
check_eq "no critical error" 0 "$(drv count "Critical Error")"
t0=$(now_ms)
drv click "$ZLV_TITLE" Stop >/dev/null
stop_outcome() {
  local i text
  for i in $(seq 200); do
    text=$(drv status "$ZLV_TITLE")
    case "$text" in "Service is Stopped" | "Service failed to stop") echo "$text"; return 0 ;; esac
    sleep 0.2
  done
  return 1
}
outcome=$(stop_outcome)
echo "# Stop of the killed service: [$outcome] after $(($(now_ms) - t0)) ms"
check "Stop of the killed service has an outcome within 40 s" [ -n "$outcome" ]
check "the manager still answers" drv wait-visible "$ZLV_TITLE" 1000

drv click "$ZLV_TITLE" Uninstall >/dev/null
drv wait-status "$ZLV_TITLE" "Service was uninstalled successfully" 15000 >/dev/null
drv close "$ZLV_TITLE" >/dev/null
check "the manager closes" drv gone "$ZLV_TITLE" 10000
zlv_finish
