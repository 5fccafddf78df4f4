#!/bin/bash
# The Slurm scripts on a one-node cluster that this test starts for itself
# (munged, slurmctld and slurmd with a generated configuration in a
# temporary folder, on free ports): the job array renders the bands into the
# parts folder, the assembly runs after it and gives the whole render's
# bytes; when a band fails, the assembly never runs. Where such a cluster
# cannot be started, the test says why and is skipped (status 77).
# Usage: slurm_test.sh <raytracer> <source folder>
set -euo pipefail
raytracer=$1
submit=$2/tools/slurm/submit.sh
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for program in munged mungekey slurmctld slurmd sbatch sinfo squeue scontrol scancel; do
    command -v "$program" > /dev/null ||
        skip "$program is not installed (Debian packages slurm-wlm and munge)"
done
[ "$(id -u)" -eq 0 ] || skip "slurmd must run as root to start jobs"

dir=$(mktemp -d)
pids=()
stop() {
    for pid in ${pids[@]+"${pids[@]}"}; do
        kill "$pid" 2> /dev/null || true
    done
    # The daemons are gone before their folder goes.
    for pid in ${pids[@]+"${pids[@]}"}; do
        for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
    done
    rm -rf "$dir"
}
trap stop EXIT
cd "$dir"
mkdir -p munge state spool log shared
chmod 755 "$dir" munge
# The pid of a daemon from its pid file, once it has written it.
started() {
    for _ in $(seq 100); do
        [ -s "$1" ] && { pids+=("$(cat "$1")"); return 0; }
        sleep 0.1
    done
    return 1
}

mungekey -c -k munge/munge.key
chmod 600 munge/munge.key
munged --force --key-file="$dir/munge/munge.key" --socket="$dir/munge/socket" \
    --pid-file="$dir/munge/munged.pid" --log-file="$dir/log/munged.log" \
    --seed-file="$dir/munge/seed" || skip "munged does not start: $(tail -3 log/munged.log 2>&1)"
started munge/munged.pid || skip "munged wrote no pid file"

# Two free ports, held by nobody else when the daemons take them.
read -r ctld_port slurmd_port < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*(x.getsockname()[1] for x in s))')
host=$(hostname -s)
cpus=$(nproc)
cat > slurm.conf <<CONF
ClusterName=rttest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
AuthInfo=socket=$dir/munge/socket
CredType=cred/munge
SlurmUser=root
SlurmdUser=root
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/log/slurmctld.log
SlurmdLogFile=$dir/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
ReturnToService=2
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$dir/slurm.conf
slurmctld -f "$SLURM_CONF" && started slurmctld.pid ||
    skip "slurmctld does not start: $(tail -3 log/slurmctld.log 2>&1)"
slurmd -f "$SLURM_CONF" && started slurmd.pid ||
    skip "slurmd does not start: $(tail -3 log/slurmd.log 2>&1)"
for _ in $(seq 100); do
    [ "$(sinfo -h -o %t 2> /dev/null)" = idle ] && break
    sleep 0.2
done
[ "$(sinfo -h -o %t 2> /dev/null)" = idle ] ||
    skip "the node never became idle: $(sinfo 2>&1; tail -3 log/slurmd.log)"

# From here on the cluster runs: every failure is a failure.
cp "$2/scenes/demo.pov" scene.pov
"$raytracer" +W57 +H41 +A2 +Iscene.pov +Owhole.png > /dev/null
timeout 300 "$submit" --raytracer "$raytracer" --bands 5 --parts shared/parts --wait \
    +W57 +H41 +A2 +Iscene.pov +Oshared/image.png > submit.out ||
    fail "the jobs failed: $(cat submit.out shared/parts/*.out 2>&1)"
grep -q "^bands: job [0-9]* (array 1-5) into $dir/shared/parts$" submit.out || fail "$(cat submit.out)"
cmp -s shared/image.png whole.png || fail "the assembled image is not the whole render"
for band in 1 2 3 4 5; do
    for end in pfm pfm.json pfm.f64; do
        [ -s "shared/parts/band_000$band.$end" ] || fail "band $band left no .$end in the parts folder"
    done
done

# A band that fails: the assembly waits for ever (afterok is never met).
"$submit" --raytracer "$raytracer" --bands 3 --parts shared/bad \
    +W57 +H41 +Imissing.pov +Oshared/bad.png > bad.out
array=$(sed -n 's/^bands: job \([0-9]*\) .*/\1/p' bad.out)
assembly=$(sed -n 's/^assembly: job \([0-9]*\) .*/\1/p' bad.out)
reason=""
for _ in $(seq 300); do
    reason=$(squeue -h -j "$assembly" -o %r 2> /dev/null || true)
    [ "$reason" = DependencyNeverSatisfied ] && break
    sleep 0.2
done
scancel "$assembly" "$array" 2> /dev/null || true
[ "$reason" = DependencyNeverSatisfied ] || fail "the assembly after failed bands: '$reason'"
[ ! -e shared/bad.png ] || fail "failed bands gave an image"
echo "Slurm: 5 bands assembled into the whole render; failed bands hold the assembly back"
