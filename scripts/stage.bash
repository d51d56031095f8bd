# The stages of scripts/run's first start that take minutes (the builds),
# said as they happen, for a person waiting at the prompt; sourced by it.
#
#   stage TITLE LOG COMMAND [ARGS...]
#
# runs COMMAND (a program or a function) with its output in LOG, and says on
# standard error "run: TITLE" as soon as the command shows it has work to
# do: at its first line of output but ninja's "no work to do" and the steps
# an ExternalProject runs on every build. A build that is up to date passes
# in silence. At a terminal, the build's own progress (ninja's "[n/m] ..."
# lines) follows on one line, rewritten in place and cleared at the end;
# piped, the title alone. On failure, the log's last lines; the answer is
# the command's exit status.

# What an up-to-date build prints: ninja's word, and the steps of an
# ExternalProject that run every time (its inner build then has no work).
stage_idle='^(ninja: no work to do\.|\[[0-9]+/[0-9]+\] ((Performing build step|No install step) for|Completed) '\''.*'\'')$'
stage_progress='^\[[0-9]+/[0-9]+\] '

stage() {
  local title=$1 log=$2 width=0 status=0
  shift 2
  if [ -t 2 ]; then
    width=$(stty size <&2 2>/dev/null | cut -d' ' -f2) || true
    [[ $width =~ ^[0-9]+$ ]] && [ "$width" -gt 1 ] || width=${COLUMNS:-80}
  fi
  # The command's own status, with or without pipefail and errexit.
  "$@" 2>&1 | stage_show "$title" "$width" 3>"$log" && status=${PIPESTATUS[0]} || status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    echo "run: that failed; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
  fi
  return "$status"
}

# Reads the command's output: each line into descriptor 3, the title and
# the progress to standard error. A width of 0: no terminal, no progress.
stage_show() {
  local title=$1 width=$2 line announced=0 shown=0
  while IFS= read -r line || [ -n "$line" ]; do
    printf '%s\n' "$line" >&3
    line=${line//$'\r'/}
    if [ "$announced" -eq 0 ]; then
      [ -n "$line" ] && ! [[ $line =~ $stage_idle ]] || continue
      echo "run: $title" >&2
      announced=1
    fi
    if [ "$width" -gt 0 ] && [[ $line =~ $stage_progress ]]; then
      printf '\r\033[K%s' "${line:0:width-1}" >&2
      shown=1
    fi
  done
  [ "$shown" -eq 0 ] || printf '\r\033[K' >&2
}
