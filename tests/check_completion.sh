#!/usr/bin/env bash
# The bash completion offers the options, the filter names and a filter's parameters, and picture files.
# Usage: check_completion.sh COMPLETION_FILE LUMORA
set -euo pipefail
completion=$(realpath "$1")
lumora=$(realpath "$2")
source /usr/share/bash-completion/bash_completion
source "$completion"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
touch photo.jpg notes.txt project.lumora
failed=0

# Completes the command line whose words are given (the last one being completed) and prints the offers.
offers() {
    COMP_WORDS=("$lumora" "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _lumora
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {
    local wanted=$1
    shift
    local got
    got=$(offers "$@")
    if [[ $got != "$wanted" ]]; then
        echo "completing '$*': got '$got', wanted '$wanted'"
        failed=1
    fi
}

expect "--filter --fonts --format " --f
expect "project.lumora " --recipe ""
expect "black-and-white blur box-blur brightness-contrast " --filter b
expect "blur:softness= " --filter blur:
expect "emboss:amount=0.5,width= " --filter emboss:amount=0.5,w
expect "photo.jpg project.lumora " ""
exit $failed
