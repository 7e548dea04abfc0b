#!/usr/bin/env bash
# The Kestrel module exports the plug-in entry and the exported classes, and
# none of its internal classes.
#   check_exports.sh libkestrel.so
#   check_exports.sh kestrel.dll OBJDUMP
# A DLL is read with MinGW's objdump; besides its export table, its import
# table must show that the process-wide objects of the host framework (the
# SDK pool, the UI loop, the log, the timer manager) are reached in their own
# DLLs: a copy inside kestrel.dll would be a second pool.
set -euo pipefail
lib=$1
objdump=${2:-objdump}
fail=0

case "$lib" in
  *.dll)
    table=$("$objdump" -p "$lib")
    # "[   3] name" lines of the export table, demangled.
    symbols=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | sed -nE 's/^\s*\[ *[0-9]+\] //p' | c++filt)
    imports_of() {  # the names a DLL's import table takes from DLL $1
      sed -n "/DLL Name: $1\$/,/^\$/p" <<<"$table" | c++filt
    }
    taskhub=$(imports_of hostfw_taskhub.dll)
    vkl=$(imports_of hostfw_vkl.dll)
    for wanted in 'Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()' \
                  'Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()'; do
      if ! grep -qF "$wanted" <<<"$taskhub"; then echo "not imported from hostfw_taskhub.dll: $wanted"; fail=1; fi
    done
    for wanted in 'vkl::DPrintLog::instance()' 'vkl::DTimerMgr::CreateTimer(vkl::DTimerHandler*)'; do
      if ! grep -qF "$wanted" <<<"$vkl"; then echo "not imported from hostfw_vkl.dll: $wanted"; fail=1; fi
    done
    other=$(grep -vE 'Kestrel::|^GetInstance$|^typeinfo for Kestrel::|^vtable for Kestrel::' <<<"$symbols" || true)
    ;;
  *)
    symbols=$(nm -D --defined-only "$lib" | c++filt)
    other=$(grep -vE 'Kestrel::|GetInstance|^[0-9a-f]+ [A-Za-z] _(init|fini)$|typeinfo|vtable|VTT' <<<"$symbols" | grep -E ' [TDBRVW] ' || true)
    ;;
esac

for wanted in 'GetInstance' 'Kestrel::CDeviceFunctionManagerExternal::GetPtz' \
              'Kestrel::CPtzExternal::SetLock' 'Kestrel::CDeviceFunctionExternal::StartRecord' \
              'Kestrel::CFaceFunctionExternal::RegisterObserver' 'Kestrel::CPtzParam::GetSeq' \
              'Kestrel::CDeviceFunctionParam::GetTrafficInfoNotify' 'Kestrel::CFaceFunctionParam::GetFaceInfoNotify'; do
  if ! grep -qF "$wanted" <<<"$symbols"; then echo "missing export: $wanted"; fail=1; fi
done
internal='Kestrel::(CKestrel|CDeviceCommunicate|CPtz|CFaceFunction|CDeviceFunctionManager|CDeviceFunctionManagerDelegate|CDeviceFunctionDelegate|CPtzDelegate|CFaceFunctionDelegate|CDeviceTimer|CTaskWorker|CRawReader)\b'
if grep -E "$internal" <<<"$symbols" | grep -vE 'Kestrel::(CPtzParam|CPtzExternal|CFaceFunctionParam|CFaceFunctionExternal|CDeviceFunctionParam|CDeviceFunctionExternal|CDeviceFunctionManagerExternal)' ; then
  echo "internal classes are exported (above)"; fail=1
fi
if [ -n "$other" ]; then echo "unexpected exports:"; echo "$other"; fail=1; fi
[ $fail -eq 0 ] && echo "exports: ok ($(grep -c . <<<"$symbols") symbols)"
exit $fail
