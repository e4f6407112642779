#!/bin/sh
# Links a program, then embeds its packed debug map as the non-allocated section .kroexcept, which moves no address
# and survives strip. The build runs every link of our programs through this script.
# usage: kromaplink.sh KROMAPGEN OBJCOPY LINK-COMMAND...
set -e
generator=$1
objcopy=$2
shift 2
"$@"
output=
previous=
for argument in "$@"; do
    if [ "$previous" = "-o" ]; then output=$argument; fi
    previous=$argument
done
if [ -z "$output" ]; then
    echo "kromaplink: the link command names no output file (-o)" >&2
    exit 1
fi
"$generator" "$output" "$output.kromap"
"$objcopy" --remove-section=.kroexcept --add-section .kroexcept="$output.kromap" "$output"
rm -f "$output.kromap"
