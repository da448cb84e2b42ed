"""Prints the benchmark figures of one run as ratios against their baselines, with the targets."""
import json
import pathlib
import sys

results = pathlib.Path(sys.argv[1])
# The same benchmarks of the build with the device runtime's layer, from the same run.
device_results = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else None


def load(suite, directory=results):
    path = directory / f"{suite}.json"
    return json.loads(path.read_text())["benchmarks"] if path.exists() else []


def median(benchmarks, name):
    """The median real time of `name`, from its repetitions (or its single run)."""
    def named(entry):
        run = entry.get("run_name", entry["name"])
        return run == name or run.startswith(name + "/")
    for entry in benchmarks:
        if named(entry) and entry.get("aggregate_name") == "median":
            return entry["real_time"]
    for entry in benchmarks:
        if named(entry) and "aggregate_name" not in entry:
            return entry["real_time"]
    return None


def counter(benchmarks, name, key):
    for entry in benchmarks:
        if entry.get("run_name", entry["name"]).startswith(name) and key in entry:
            return entry[key]
    return None


def median_counter(benchmarks, name, key):
    """The median of a counter over `name`'s repetitions (or its single run)."""
    for entry in benchmarks:
        if entry.get("run_name", entry["name"]).startswith(name) and key in entry \
                and entry.get("aggregate_name") == "median":
            return entry[key]
    return counter(benchmarks, name, key)


rows = []


def ratio(label, value, baseline, target):
    if value is None or baseline is None:
        rows.append((label, "missing", f"<= {target:.2f}", "?"))
        return
    r = value / baseline
    rows.append((label, f"{r:.2f}  ({value:,.0f} / {baseline:,.0f} ns)", f"<= {target:.2f}",
                 "met" if r <= target else "NOT MET"))


dispatch = load("dispatch")
ratio("hooked own method / unhooked", median(dispatch, "BM_HookedOwnMethod"),
      median(dispatch, "BM_UnhookedOwnMethod"), 1.10)
ratio("hooked inherited method / unhooked", median(dispatch, "BM_HookedInheritedMethod"),
      median(dispatch, "BM_UnhookedInheritedMethod"), 1.10)
ratio("switched setter / unhooked", median(dispatch, "BM_SwitchedSetter"),
      median(dispatch, "BM_UnhookedOwnMethod"), 1.15)
ratio("hooked own method, host model / unhooked", median(dispatch, "BM_HookedModelSetter"),
      median(dispatch, "BM_UnhookedModelSetter"), 1.10)
ratio("hooked inherited, host model / unhooked", median(dispatch, "BM_HookedInheritedModelSetter"),
      median(dispatch, "BM_UnhookedInheritedModelSetter"), 1.10)
ratio("switched setter, host model / unhooked", median(dispatch, "BM_SwitchedModelSetter"),
      median(dispatch, "BM_UnhookedModelSetter"), 1.15)

MINIMAL = (("own method, forced argument", "BM_OwnAgainstMinimal", 1.05),
           ("inherited method, superclass at each call", "BM_InheritedAgainstMinimal", 1.10),
           ("switched setter", "BM_SwitchedAgainstMinimal", 1.05))


def against_minimal(directory, name):
    """One figure per process (the median of its repetitions): their median, least and most."""
    runs = [json.loads(path.read_text())["benchmarks"]
            for path in sorted(directory.glob("dispatch_minimal_*.json"))]
    # The blocks' mean times include whatever else ran meanwhile; only the ratio is a figure.
    per_run = sorted(r for r in (median_counter(run, name, "landed_over_minimal") for run in runs)
                     if r is not None)
    return (per_run[len(per_run) // 2], per_run[0], per_run[-1], len(per_run)) if per_run else None


for path, name, target in MINIMAL:
    label = f"{path}: landed / minimal replacement"
    figure = against_minimal(results, name)
    if figure is None:
        rows.append((label, "missing", f"<= {target:.2f}", "?"))
        continue
    r, low, high, processes = figure
    rows.append((label, f"{r:.3f}  ({low:.3f}-{high:.3f} in {processes} processes)",
                 f"<= {target:.2f}", "met" if r <= target else "NOT MET"))

files = load("settings_file")
for large in (0, 1):
    for xml in (0, 1):
        scenario = f"large:{large}/xml:{xml}"
        label = f"{'2,000 keys' if large else 'example'}, {'XML' if xml else 'binary'}"
        setter = median(files, f"BM_ColourSetter/{scenario}")
        ratio(f"colour setter / open-read-close, {label}", setter,
              median(files, f"BM_ReadFileFloor/{scenario}"), 1.5)
        checked = median(files, f"BM_CheckedReadFloor/{scenario}")
        if setter and checked:
            rows.append((f"colour setter / open-fstat-read-close, {label}", f"{setter / checked:.2f}",
                         "(report)", ""))
        parse = median(files, f"BM_ParseEveryCall/{scenario}")
        if setter and parse:
            rows.append((f"parse at every call / colour setter, {label}", f"{parse / setter:.1f}",
                         "(report)", ""))

def load_on_over_off(directory):
    """The paired every key on / off ratio, and the two separate medians (ms)."""
    benchmarks = load("load", directory)
    on, off = median(benchmarks, "BM_LoadEveryKeyOn"), median(benchmarks, "BM_LoadEveryKeyOff")
    paired = median_counter(benchmarks, "BM_LoadEveryKeyOnOverOff", "on_over_off")
    return (paired, on / 1e3, off / 1e3) if paired and on and off else None


load_results = load("load")
on_over_off = load_on_over_off(results)
if on_over_off:
    paired, on_ms, off_ms = on_over_off
    rows.append(("load, every key on / every key off, rounds of on-off-off-on",
                 f"{paired:.2f}  (medians {on_ms:,.1f} / {off_ms:,.1f} ms)", "<= 1.30",
                 "met" if paired <= 1.30 else "NOT MET"))
on, off = median(load_results, "BM_LoadEveryKeyOn"), median(load_results, "BM_LoadEveryKeyOff")
one_cpu = median_counter(load("load_one_cpu"), "BM_LoadEveryKeyOnOverOff", "on_over_off")
if one_cpu:
    rows.append(("the same, the load and the settings watcher on one CPU", f"{one_cpu:.2f}",
                 "(report)", ""))
floor = median(load_results, "BM_LoadFloor")
if off and floor:
    rows.append(("load, every key off / floor (constructor doing nothing)",
                 f"{off / floor:.2f}  ({off / 1e3:,.1f} / {floor / 1e3:,.1f} ms)", "(report)", ""))
    for label, name in (("the 42 gates", "BM_LoadGatesOnly"),
                        ("the settings registry", "BM_LoadRegistryOnly"),
                        ("the 30 hooks without a key", "BM_LoadUnconditionalHooksOnly")):
        part = median(load_results, name)
        if part:
            rows.append((f"load, {label} alone, above the floor", f"{(part - floor) / 1e3:,.2f} ms",
                         "(report)", ""))
faults = counter(load_results, "BM_LoadEveryKeyOn", "page_faults")
if faults is not None:
    rows.append(("page faults during a load, every key on", f"{faults:.0f}", "(report)", ""))
parses = counter(load_results, "BM_LoadEveryKeyOn", "settings_file_parses")
rows.append(("settings file parses during load", f"{parses}", "<= 2",
             "met" if parses is not None and parses <= 2 else "NOT MET"))

latency = counter(load("settings_latency"), "BM_RegisteredSettingLatency", "median_ms")
rows.append(("file replaced -> variable updated, median", f"{latency:.2f} ms" if latency else "?",
             "< 50 ms", "met" if latency is not None and latency < 50 else "NOT MET"))

memory = load("memory")
for key, unit in (("live_object_growth", "objects"), ("resident_growth_kb", "KiB")):
    value = counter(memory, "BM_MillionHookedCalls", key)
    rows.append((f"growth over 1,000,000 hooked calls ({unit})", f"{value:g}" if value is not None else "?",
                 "0", "met" if value == 0 else "NOT MET"))

width = max(len(row[0]) for row in rows)
for label, value, target, verdict in rows:
    print(f"{label:<{width}}  {value:<46} {target:<10} {verdict}")

if device_results is not None:
    print("\nThe same run, GCC's runtime layer (the default build) beside the device runtime's "
          "(device-api):")
    side = []
    for path, name, target in MINIMAL:
        gnu, device = against_minimal(results, name), against_minimal(device_results, name)
        side.append((f"{path}: landed / minimal",
                     f"{gnu[0]:.3f} ({gnu[1]:.3f}-{gnu[2]:.3f})" if gnu else "missing",
                     f"{device[0]:.3f} ({device[1]:.3f}-{device[2]:.3f})" if device else "missing",
                     f"<= {target:.2f}",
                     "met" if device and device[0] <= target else "NOT MET"))
    gnu, device = load_on_over_off(results), load_on_over_off(device_results)
    show = lambda f: f"{f[0]:.2f} ({f[1]:,.1f} / {f[2]:,.1f} ms)" if f else "missing"
    side.append(("load, every key on / off, rounds", show(gnu), show(device), "<= 1.30",
                 "met" if device and device[0] <= 1.30 else "NOT MET"))
    width = max(len(row[0]) for row in side)
    print(f"{'':<{width}}  {'gnu':<26} {'device-api':<26} {'target':<10} device-api")
    for label, gnu_value, device_value, target, verdict in side:
        print(f"{label:<{width}}  {gnu_value:<26} {device_value:<26} {target:<10} {verdict}")
