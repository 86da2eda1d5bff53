#!/usr/bin/env python3
"""The figures of one benchmark run beside their baselines.

    ALSOFT_DRIVERS=null build/rotorduel_bench --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true \
        --benchmark_out=bench.json --benchmark_out_format=json
    bench/ratios.py bench.json

Prints each benchmark's median (and its spread over the repetitions) and, where the same work was
also done by plain OpenAL Soft calls, the game's time over the bare library's.
"""
import json
import sys

# The game's benchmark and the one doing the same work by plain calls.
PAIRS = {
    "BM_TickSoundCalls": "BM_BareTickSoundCalls",
    "BM_RenderRoomSecond/real_time": "BM_BareRenderRoomSecond/real_time",
    "BM_StartUpToFirstLoop/manual_time": "BM_BareStartUpToFirstLoop/manual_time",
    "BM_ColdTickSoundCalls/iterations:640/manual_time": "BM_BareColdTick/iterations:640/manual_time",
    "BM_ColdTickSoundCallsLayerWarm/iterations:640/manual_time":
        "BM_BareColdTick/iterations:640/manual_time",
    "BM_RenderRoomPeriods/real_time": "BM_BareRenderRoomPeriods/real_time",
}
COUNTERS = ("realTimeFactor", "handOverMs", "latencyMs", "serviceCalls", "restarts", "p50us",
            "p99us", "p50ms", "p99ms", "allocationsPerTick", "cpuP50us", "cpuP99us")


def main(path):
    with open(path) as f:
        run = json.load(f)
    rows = {}
    for b in run["benchmarks"]:
        name, kind = b["run_name"], b.get("aggregate_name", "single")
        rows.setdefault(name, {})[kind] = b
    print(f"{run['context']['date']}, {run['context']['num_cpus']} CPUs, "
          f"load {run['context'].get('load_avg')}")
    for name, row in sorted(rows.items()):
        median = row.get("median", row.get("single"))
        text = f"{name}: {median['real_time']:.3g} {median['time_unit']}"
        if "cv" in row:
            text += f" (cv {100 * row['cv']['real_time']:.1f}%)"
        for counter in COUNTERS:
            if counter in median:
                text += f", {counter} {median[counter]:.3g}"
        bare_row = rows.get(PAIRS.get(name, ""), {})
        bare = bare_row.get("median", bare_row.get("single"))
        if bare:
            text += f"; bare {bare['real_time']:.3g} {bare['time_unit']}, " \
                    f"ratio {median['real_time'] / bare['real_time']:.2f}"
            for counter in ("p50us", "p99us", "cpuP50us", "cpuP99us"):
                if counter in median and counter in bare:
                    text += f", bare {counter} {bare[counter]:.3g} " \
                            f"(ratio {median[counter] / bare[counter]:.2f})"
        if median.get("label"):
            text += f" [{median['label']}]"
        print(text)


if __name__ == "__main__":
    main(sys.argv[1])
