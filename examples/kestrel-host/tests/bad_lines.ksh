# A script full of mistakes. Each bad line is reported with its line number
# and the command's usage; the shell goes on and runs the good lines.
Frobnicate ch-0001
PtzDirection ch-0001
PtzDirection ch-0001 sideways
PtzDirection ch-0001 up start fast
StartRecord
SetLock ch-0001 lock lockTime=soon
SetLock ch-0001 lock 60 menu.ptz 0 surplus
echo "never closed
push meteor
push face colour=red
fault platform ZRSDK_Nothing code 1
fault sideways
AddCruisePreset ch-0001 1:ten
PtzDirection ch-0001 up speed=3 speed=4

# Good lines still run between the bad ones.
PtzDirection ch-0001 up
PtzDirection ch-0001 up stop
wait
