#!/usr/bin/env bash
# libkestrel.so exports the plug-in entry and the exported classes, and none
# of its internal classes.
set -euo pipefail
lib=$1
symbols=$(nm -D --defined-only "$lib" | c++filt)
fail=0
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
other=$(grep -vE 'Kestrel::|GetInstance|^[0-9a-f]+ [A-Za-z] _(init|fini)$|typeinfo|vtable|VTT' <<<"$symbols" | grep -E ' [TDBRVW] ' || true)
if [ -n "$other" ]; then echo "unexpected exports:"; echo "$other"; fail=1; fi
[ $fail -eq 0 ] && echo "exports: ok ($(grep -c . <<<"$symbols") symbols)"
exit $fail
