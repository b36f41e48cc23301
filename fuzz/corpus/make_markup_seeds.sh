#!/bin/sh
# Writes the seed corpus of the markup fuzz target into fuzz/corpus/markup.
set -eu
dir="$(cd "$(dirname "$0")" && pwd)/markup"
mkdir -p "$dir"
n=0
seed() {
  n=$((n + 1))
  printf '%b' "$1" > "$dir/$(printf 'seed-%02d' "$n")"
}
seed 'hello world'
seed '[B]bold[I]italic[U]under[S]strike[/]plain'
seed '[#2183D2$0C>00C8C]blue big indented centred'
seed '[C][#2183D2]name[C][#999999] rest'
seed '\n[#549954]小王 (09:05:01)\n[>00C8]你好[@smile.gif]\n'
seed 'call [>00C8][!]13812345678[>00C8] now'
seed 'a]b[]c[[d]]e[b]f'
seed '[FACE]smile[/FACE][FACE]../../etc/passwd[/FACE]'
seed '[@/etc/passwd][@C:\\Windows\\x.bmp][@http://host/x.gif]'
seed 'x]@/root/.ssh/id_rsa]y[/B@../z.gif]'
seed '[#12345][$1][>12][#GGGGGG][$0][>FFFF]'
seed '[!@/x][ab@/y][@][@.gif]'
