#!/usr/bin/env bash
# Makes the maker's update signing key pair once: OUT_PREFIX.pem (private: keep it off the
# repository and off any shared machine) and OUT_PREFIX.pub.pem (public: what builds carry).
set -euo pipefail
if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 OUT_PREFIX" >&2
  exit 2
fi
private="$1.pem"
public="$1.pub.pem"
if [ -e "$private" ] || [ -e "$public" ]; then
  # A new key would lock every installed build out of the next update.
  echo "make-update-key: $private or $public exists already; refusing to replace a key" >&2
  exit 1
fi
umask 077
openssl ecparam -name prime256v1 -genkey -noout -out "$private"
openssl ec -in "$private" -pubout -out "$public" 2>/dev/null
chmod 644 "$public"
echo "private key: $private (keep it secret; it signs every release)"
echo "public key:  $public (build with -DZANVORO_UPDATE_KEY=$public)"
