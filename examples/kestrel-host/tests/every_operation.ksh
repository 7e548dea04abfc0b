# Every façade operation once, server events of every kind, platform and
# server faults, the second operator, and the shell's views.

# device functions
StartRecord ch-0001
StopRecord ch-0001
StartAPPChannelRecord ch-0001 app-0001
SmartTrackOperate ch-0001 1 2 on 3 values=1,2,3
OpenVehilceMonitor ch-0001 ch-0002
GetBindingResource ch-0001 tag=99
SetIFrame ch-0001
RestartDevice dev-0001
SnapPicture ch-0001
MasterSlaveIntellManualTrack ch-0001 1
MasterSlaveIntellFixedPointTrack ch-0001 1 2

# movement, lens, positioning, wiper, scanning
PtzDirection ch-0001 left
PtzDirection ch-0001 left stop
PtzControl ch-0001 0
PtzControl ch-0001 0 stop
PtzSite ch-0001 90 10 2
PtzSiteEx ch-0001 180 -5 3 ext=0,0,1,0
RainWiper ch-0001 on
RainWiper ch-0001 off
SetScanMargin ch-0001 1 20
AutoScan ch-0001 start
AutoScan ch-0001 stop

# the motion policy: the dead-man stops a move nobody renews
PtzMotionPolicy supersede=on deadMan=50
PtzDirection ch-0003 right
await PTZ_EVENT_AUTO_STOP 5
PtzMotionPolicy deadMan=0 supersede=off

# the lock
SetMaxLockTime 600
SetLock ch-0001 lock 30
wait
IsLock ch-0001
QueryLockState ch-0001
SetLock ch-0001 unlock
wait
DelLockCamera ch-0001

# presets, cruise, guard presets, idle motion
QueryPrePoint ch-0001
QueryPrePoint ch-0001 ar=on
wait
GetPrePointInfo ch-0001
OperatorPrePoint set ch-0001 20 Dock
OperatorPrePoint goto ch-0001 20
OperatorPrePoint delete ch-0001 20
QueryCruisePreset ch-0001
wait
GetCruisePresetInfo ch-0001
AddCruisePreset ch-0001 1:10,2:15
AddGuardPreset ch-0001 1:60:20240101080000:20240101180000:1,2:30
wait
GetGuardPresetId ch-0001
QueryGuardPreset ch-0001
wait
GetGuardPresetInfo ch-0001
DelGuardPreset ch-0001
SetIdleMonitor ch-0001 on 45 2

# observers
UnRegisterObserver face
RegisterObserver face

# faults (each waits for its answer before the fault changes)
wait
fault platform ZRSDK_PtzAutoScan code 10001
AutoScan ch-0001 start
fault platform all latency 20
PtzDirection ch-0001 up
wait
fault server code 1500 http=500
SetIdleMonitor ch-0001 off
wait
fault server outage
SetIdleMonitor ch-0001 off
wait
fault clear
SetIdleMonitor ch-0001 off
fault platform outage
PtzDirection ch-0001 up
wait
fault clear

# another operator holds a lock; a lock that runs out
supervisor lock ch-0003 30
SetLock ch-0003 lock
wait
supervisor unlock ch-0003
supervisor logout
SetLock ch-0005 lock 1
await PTZ_EVENT_LOCK_EXPIRED

# server events
push all
push traffic plate=AB-12
push smart-track broken
wait

# views
show caches ch-0001
show locks
show pending
show stats
show channels
help
help PtzDirection
