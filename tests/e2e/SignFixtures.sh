#!/usr/bin/env bash
# Staging folders for the end-to-end rows of signed staging, each signed by the release
# command: three copies of a component, signed by each test certificate; and one file of
# 64 MB. Usage: SignFixtures.sh COMPONENT OUT CERTIFICATES SIGN_STAGING
set -euo pipefail
component=$1 out=$2 certificates=$3 sign=$4
rm -rf "$out"
for signer in publisher next forger big; do
    mkdir -p "$out/$signer"
    if [ "$signer" = big ]; then
        head -c $((64 << 20)) /dev/zero | tr '\0' k >"$out/big/kivbiglib.dll"
    else
        for n in 1 2 3; do cp "$component" "$out/$signer/kivsign${n}lib.dll"; done
    fi
    touch -d @1672531200 "$out/$signer"/*  # 2023, after what the rows install
    key=${signer/big/publisher}
    "$sign" "$out/$signer" "$certificates/$key.key.pem" "$certificates/$key.pem" >/dev/null
done
touch "$out/stamp"
