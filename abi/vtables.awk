# Reads an abidw dump and prints "mangled-name vtable-offset" for the virtual
# functions of every class it defines (classes only declared are skipped).
# dev.sh abi keeps the rows of the public headers' namespaces.
/<class-decl / {
  if ($0 ~ /\/>[[:space:]]*$/) next
  depth++; declonly[depth] = ($0 ~ /is-declaration-only='yes'/)
  next
}
/<\/class-decl>/ { depth--; next }
/<member-function .*vtable-offset='/ {
  if (depth > 0 && !declonly[depth]) { match($0, /vtable-offset='[-0-9]+'/); offset = substr($0, RSTART + 15, RLENGTH - 16) } else offset = ""
  next
}
/<function-decl / {
  if (offset != "" && match($0, /mangled-name='[^']+'/)) print substr($0, RSTART + 14, RLENGTH - 15), offset
  offset = ""
}
