#!/usr/bin/env bash
# Copies the project's own files from a checkout to DEST, never a developer's build folders:
# from a clone, what git tracks or would track; from an unpacked tarball, all but build*/.
#   copy-sources.sh CHECKOUT DEST
set -euo pipefail
repo=$1
mkdir -p "$2"
dest=$(cd "$2" && pwd)
cd "$repo"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard \
        | while IFS= read -r -d '' file; do
            [[ -e "$file" ]] && printf '%s\0' "$file"
        done \
        | xargs -0 cp --parents -P -t "$dest"
else
    tar --exclude='./build*' -cf - . | (cd "$dest" && tar -xf -)
fi
