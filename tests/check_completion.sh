#!/usr/bin/env bash
# The bash completion offers the options, the filter names and a filter's parameters, and picture files, and
# the line it leaves is the one an interactive bash shows.
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
# An interactive bash breaks words at these (':' and '=' among them).
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'

# The words of `line` as bash gives them to a completion: split at blanks, each run of word-break characters
# a word of its own, and an empty word last when the line ends in a blank.
split_line() {
    local line=$1 word= kind= c k
    words=()
    for ((k = 0; k < ${#line}; k++)); do
        c=${line:k:1}
        if [[ $c == " " ]]; then
            [[ -n $word ]] && words+=("$word")
            word= kind=
        elif [[ $COMP_WORDBREAKS == *"$c"* ]]; then
            [[ $kind == text && -n $word ]] && { words+=("$word"); word=; }
            word+=$c kind=break
        else
            [[ $kind == break && -n $word ]] && { words+=("$word"); word=; }
            word+=$c kind=text
        fi
    done
    [[ -n $word ]] && words+=("$word")
    [[ $line == *" " ]] && words+=("")
    return 0
}

# Completes `line` (the lumora command's arguments) as bash does and prints the offers; with one offer, the
# line as readline leaves it instead: the offer in place of what follows the last blank or word-break.
complete_line() {
    local line="$lumora $1"
    local words
    split_line "$line"
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _lumora
    if ((${#COMPREPLY[@]} == 1)); then
        local k=${#line}
        while ((k > 0)) && [[ $COMP_WORDBREAKS != *"${line:k-1:1}"* ]]; do
            ((k--))
        done
        local result="${line:0:k}${COMPREPLY[0]}"
        echo "${result#"$lumora "}"
    else
        printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
    fi
}
expect() {
    local wanted=$1 got
    got=$(complete_line "$2")
    if [[ $got != "$wanted" ]]; then
        echo "completing '$2': got '$got', wanted '$wanted'"
        failed=1
    fi
}

expect "--filter --fonts --format " "--f"
expect "--recipe project.lumora" "--recipe "
expect "--watermark --watermarks " "--waterm"
expect "black-and-white blur box-blur brightness-contrast " "--filter b"
expect "--filter blur:softness=" "--filter blur:"
expect "--filter emboss:amount=" "--filter emboss:a"
expect "--filter emboss:amount=0.5,width=" "--filter emboss:amount=0.5,w"
expect "photo.jpg project.lumora " ""
exit $failed
