#!/usr/bin/env bash
# Times our isosurface extraction (padded copy, extraction, normals) on the three
# volumes of BenchIsosurface against a peer, vtkFlyingEdges3D with normals on the
# sequential backend, when python3 can import vtk (Debian's python3-vtk9). Runs
# alternate between the two, both under the same allocator settings, and the medians
# and their ratio are printed per volume. Without the peer our times are printed
# beside a plain pass over the same voxels, measured in the same run. Last, the
# simplification of each volume's surface is timed as a multiple of its extraction,
# with the polygon counts before and after (SIMPLIFY_RUNS runs, default 3).
#
# Usage: Bench/iso-peer.sh [RUNS]   (default 7; KESTRIN_BUILD_DIR names the build folder)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KESTRIN_BUILD_DIR:-$ROOT/build/release}"
RUNS="${1:-7}"
BIN="$BUILD/bin/BenchIsosurface"

if [[ ! -x "$BIN" ]]; then
  echo "iso-peer: building BenchIsosurface in $BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DKESTRIN_BUILD_BENCH=ON >/dev/null
  cmake --build "$BUILD" --target BenchIsosurface >/dev/null
fi

# Large blocks come from the heap, not fresh mappings, and are not handed back between
# runs: neither side pays the kernel for first touches the other does not.
export MALLOC_MMAP_MAX_=0 MALLOC_TRIM_THRESHOLD_=$((1 << 31)) MALLOC_TOP_PAD_=$((1 << 28))

SCRATCH="$(mktemp -d "${TMPDIR:-/tmp}/iso-peer-XXXXXX")"
trap 'rm -rf "$SCRATCH"' EXIT

cat >"$SCRATCH/peer.py" <<'PY'
import sys, time
import vtk
path, w, h, d = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
reader = vtk.vtkImageReader2()
reader.SetFileName(path)
reader.SetFileDimensionality(3)
reader.SetDataScalarTypeToUnsignedChar()
reader.SetNumberOfScalarComponents(1)
reader.SetDataExtent(0, w - 1, 0, h - 1, 0, d - 1)
reader.Update()
try:
    vtk.vtkSMPTools.SetBackend("Sequential")
except AttributeError:
    # Older builds choose the backend when compiled; one thread still holds it to one core.
    sys.stderr.write("iso-peer: this vtk cannot choose its threading backend; limited to one thread\n")
vtk.vtkSMPTools.Initialize(1)
vtk.vtkMultiThreader.SetGlobalMaximumNumberOfThreads(1)
fe = vtk.vtkFlyingEdges3D()
fe.SetInputData(reader.GetOutput())
fe.SetValue(0, 128)
fe.ComputeNormalsOn()
fe.ComputeGradientsOff()
fe.ComputeScalarsOff()
start = time.thread_time()
fe.Update()
seconds = time.thread_time() - start
print("seconds %.6f polygons %d" % (seconds, fe.GetOutput().GetNumberOfPolys()))
PY

PEER=0
if python3 -c 'import vtk' 2>/dev/null; then
  PEER=1
  echo "iso-peer: peer vtkFlyingEdges3D $(python3 -c 'import vtk; print(vtk.vtkVersion.GetVTKVersion())'), sequential, one thread"
else
  echo "iso-peer: the peer is missing: python3 cannot import vtk (install Debian's python3-vtk9 to compare);"
  echo "iso-peer: our times are reported against a plain pass over the same voxels instead"
fi

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
field() { awk -v k="$1" '{for (i = 1; i < NF; ++i) if ($i == k) print $(i + 1)}'; }

"$BIN" --write-volumes "$SCRATCH" >"$SCRATCH/volumes"
echo "iso-peer: $RUNS runs per volume, CPU time of the working thread"
printf '%-7s %10s %10s %9s %10s %10s %9s %s\n' volume ours_ms pass_ms x_pass peer_ms x_peer goal polygons
while read -r name w h d; do
  : >"$SCRATCH/ours" ; : >"$SCRATCH/pass" ; : >"$SCRATCH/peer"
  line=""
  peerLine=""
  for ((i = 0; i < RUNS; ++i)); do
    line="$("$BIN" --time "$SCRATCH/$name.raw" "$w" "$h" "$d")"
    echo "$line" | field seconds >>"$SCRATCH/ours"
    echo "$line" | field pass >>"$SCRATCH/pass"
    if [[ "$PEER" == 1 ]]; then
      peerLine="$(python3 "$SCRATCH/peer.py" "$SCRATCH/$name.raw" "$w" "$h" "$d")"
      echo "$peerLine" | field seconds >>"$SCRATCH/peer"
    fi
  done
  ours="$(median <"$SCRATCH/ours")"
  pass="$(median <"$SCRATCH/pass")"
  quads="$(echo "$line" | field quads)"
  goal="0.6"
  if [[ "$name" == noise ]]; then goal="0.8"; fi
  if [[ "$PEER" == 1 ]]; then
    peer="$(median <"$SCRATCH/peer")"
    polys="$(echo "$peerLine" | field polygons)"
    awk -v n="$name" -v o="$ours" -v p="$pass" -v q="$peer" -v g="$goal" -v a="$quads" -v b="$polys" 'BEGIN {
      printf "%-7s %10.2f %10.2f %9.1f %10.2f %10.2f %9s %s quads, peer %s triangles\n",
             n, o * 1e3, p * 1e3, o / p, q * 1e3, o / q, "<=" g, a, b }'
  else
    awk -v n="$name" -v o="$ours" -v p="$pass" -v a="$quads" 'BEGIN {
      printf "%-7s %10.2f %10.2f %9.1f %10s %10s %9s %s quads\n", n, o * 1e3, p * 1e3, o / p, "-", "-", "-", a }'
  fi
done <"$SCRATCH/volumes"
SIMPLIFY_RUNS="${SIMPLIFY_RUNS:-3}"
echo "iso-peer: simplification, $SIMPLIFY_RUNS runs per volume, CPU time of the working thread"
printf '%-7s %10s %12s %11s %s\n' volume extract_ms simplify_ms x_extract polygons
while read -r name w h d; do
  : >"$SCRATCH/extract" ; : >"$SCRATCH/simplify"
  line=""
  for ((i = 0; i < SIMPLIFY_RUNS; ++i)); do
    line="$("$BIN" --simplify "$SCRATCH/$name.raw" "$w" "$h" "$d")"
    echo "$line" | field extraction >>"$SCRATCH/extract"
    echo "$line" | field simplification >>"$SCRATCH/simplify"
  done
  extract="$(median <"$SCRATCH/extract")"
  simplify="$(median <"$SCRATCH/simplify")"
  awk -v n="$name" -v e="$extract" -v s="$simplify" -v q="$(echo "$line" | field quads)" \
      -v aq="$(echo "$line" | field after_quads)" -v at="$(echo "$line" | field after_triangles)" 'BEGIN {
    printf "%-7s %10.2f %12.2f %11.1f %s quads -> %d polygons (%s quads, %s triangles)\n",
           n, e * 1e3, s * 1e3, s / e, q, aq + at, aq, at }'
done <"$SCRATCH/volumes"
