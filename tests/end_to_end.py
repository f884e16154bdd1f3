#!/usr/bin/env python3
"""Runs the built demostamp in temporary directories and checks what it writes.

usage: end_to_end.py --binary PATH [--emulator COMMAND] [unittest options]

Cases whose names start with test_posix_ need signals, file modes, resource limits or a preloaded
fake clock, and run only against a native POSIX build.
"""
import argparse
import datetime
import os
import random
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

TAGS = ["sco", "sol", "pyr", "dem", "hev", "eng", "med", "sni", "spy"]
FAKETIME_LIB = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
START_TIMEOUT = 60  # the first start under an emulator creates its prefix

BINARY = ""
EMULATOR = []
SHORT_WRITE_SHIM = ""
POSIX = True


def script(stamp, tag):
    return b'alias autorec "stop; record ' + stamp + b"_" + tag.encode() + b'"\r\ntry_rec\r\n'


SCRIPT = re.compile(rb'alias autorec "stop; record (\d+_\d\d_\d\d__\d\d_\d\d(?:_\d\d)?)_([a-z]{3})"'
                    rb"\r\ntry_rec\r\n")


def report(class_name, message):
    """The failure report's exact bytes, but for the offset."""
    module = re.escape(os.path.basename(BINARY).encode())
    return re.compile(b"Exception " + class_name + b" in module " + module +
                      b" at [0-9A-F]{8}\\.\n" + re.escape(message) + b"\r\n\\Z")


class Program:
    """demostamp running in the background until stopped."""

    def __init__(self, args, cwd, env=None, stdout=subprocess.PIPE):
        self.cwd = cwd
        self.process = subprocess.Popen([*EMULATOR, BINARY, *args], cwd=cwd, env=env,
                                        stdin=subprocess.DEVNULL, stdout=stdout)

    def read_stdout(self, size, timeout=START_TIMEOUT):
        data = b""
        deadline = time.monotonic() + timeout
        while len(data) < size and time.monotonic() < deadline:
            ready, _, _ = select.select([self.process.stdout], [], [], 0.1)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), size - len(data))
                if not chunk:
                    break
                data += chunk
        return data

    def scripts(self):
        """The content of each script file that exists, by tag."""
        found = {}
        for tag in TAGS:
            try:
                with open(os.path.join(self.cwd, f"demo_{tag}.cfg"), "rb") as f:
                    found[tag] = f.read()
            except FileNotFoundError:
                pass
        return found

    def wait_for_tick(self, timeout=START_TIMEOUT):
        """Waits until all nine scripts hold a complete content, and returns them."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.scripts()
            if len(found) == 9 and all(SCRIPT.fullmatch(c) for c in found.values()):
                return found
            if self.process.poll() is not None:
                break
            time.sleep(0.02)
        raise AssertionError(f"no complete tick; exit {self.process.poll()}, {self.scripts()}")

    def stop(self, sig=signal.SIGKILL):
        if self.process.poll() is None:
            self.process.send_signal(sig)
        self.process.wait(timeout=30)
        if self.process.stdout:
            self.process.stdout.close()
        return self.process.returncode


class Case(unittest.TestCase):
    def setUp(self):
        if self._testMethodName.startswith("test_posix_") and not POSIX:
            self.skipTest("needs a native POSIX build")
        self.dir = tempfile.mkdtemp(prefix="demostamp-e2e-")
        os.chmod(self.dir, 0o777)
        self.programs = []

    def tearDown(self):
        for program in self.programs:
            program.stop()
        for root, dirs, _ in os.walk(self.dir):
            for d in dirs:
                os.chmod(os.path.join(root, d), 0o755)
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def start(self, *args, **kwargs):
        program = Program(list(args), kwargs.pop("cwd", self.dir), **kwargs)
        self.programs.append(program)
        return program

    def run_to_end(self, *args, cwd=None, env=None, stdout=subprocess.PIPE, preexec_fn=None):
        """Runs a program that must end by itself, and returns its exit status and output."""
        result = subprocess.run([*EMULATOR, BINARY, *args], cwd=cwd or self.dir,
                                env=env, stdin=subprocess.DEVNULL, stdout=stdout,
                                stderr=subprocess.PIPE, timeout=START_TIMEOUT,
                                preexec_fn=preexec_fn)
        self.assertEqual(result.stderr, b"", "nothing goes to standard error")
        return result.returncode, result.stdout

    def put(self, name, content):
        with open(self.path(name), "wb") as f:
            f.write(content)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def assert_report(self, output, class_name, message):
        self.assertRegex(output, report(class_name, message))

    def faketime_env(self, faketime):
        self.assertTrue(os.path.exists(FAKETIME_LIB), "libfaketime is missing: apt-get install faketime")
        return dict(os.environ, LD_PRELOAD=FAKETIME_LIB, FAKETIME=faketime, TZ="UTC")


class Banner(Case):
    def test_banner_bytes_are_written_at_once_to_a_pipe(self):
        cases = [
            ((), 60), (("90",), 90), (("120",), 120), (("0",), 0), (("$3C",), 60),
            (("0x3C",), 60), (("  30",), 30), (("", "45"), 45), (("30", "7"), 30),
            (("2147483",), 2147483),
        ]
        for args, seconds in cases:
            with self.subTest(args=args):
                program = self.start(*args)
                expected = b"Update every %d seconds\r\nExit: Ctrl+C\r\n" % seconds
                self.assertEqual(program.read_stdout(len(expected)), expected)
                self.assertEqual(program.read_stdout(1, timeout=0.3), b"", "nothing more")
                self.programs.pop().stop()


class Scripts(Case):
    def test_the_first_tick_writes_nine_scripts_with_one_stamp(self):
        for args, seconds in [((), False), (("90",), True), (("120",), False), (("59",), True),
                              (("0",), False)]:
            with self.subTest(args=args):
                for tag in TAGS:
                    self.put(f"demo_{tag}.cfg", b"")
                found = self.start(*args).wait_for_tick()
                stamps = set()
                for tag, content in found.items():
                    stamp, written_tag = SCRIPT.fullmatch(content).groups()
                    self.assertEqual(written_tag.decode(), tag)
                    self.assertEqual(content, script(stamp, tag))
                    self.assertEqual(len(content), 62 if seconds else 59)
                    stamps.add(stamp)
                self.assertEqual(len(stamps), 1, "one stamp per tick")
                self.programs.pop().stop()

    def test_a_longer_old_file_leaves_no_tail(self):
        self.put("demo_eng.cfg", b"x" * 10000 + b"\r\n")
        found = self.start("600").wait_for_tick()
        self.assertEqual(len(found["eng"]), 59)

    def test_files_are_written_in_tag_order(self):
        # A directory in the way stops the tick there: the scripts before it are written, the
        # ones after it are not.
        for position, blocked in enumerate(TAGS):
            with self.subTest(blocked=blocked):
                workdir = tempfile.mkdtemp(dir=self.dir)
                os.mkdir(os.path.join(workdir, f"demo_{blocked}.cfg"))
                status, output = self.run_to_end("5", cwd=workdir)
                self.assertEqual(status, 1)
                self.assertRegex(output, b"\\AUpdate every 5 seconds\r\nExit: Ctrl\\+C\r\n")
                self.assert_report(output[38:], b"EInOutError", b"File access denied.")
                present = [t for t in TAGS if os.path.isfile(os.path.join(workdir, f"demo_{t}.cfg"))]
                self.assertEqual(present, TAGS[:position])


class Arguments(Case):
    def test_bad_arguments_end_the_run_before_any_output(self):
        cases = [
            ("abc", b"'abc' is not a valid integer value."),
            ("1.5", b"'1.5' is not a valid integer value."),
            ("5s", b"'5s' is not a valid integer value."),
            ("2147483648", b"'2147483648' is not a valid integer value."),
            ("30 ", b"'30 ' is not a valid integer value."),
            ("\t30", b"'\t30' is not a valid integer value."),
            ("-$10", b"'-$10' is not a valid integer value."),
            ("-1", b"'-1' is not a valid interval (0 to 2147483 seconds)."),
            ("2147484", b"'2147484' is not a valid interval (0 to 2147483 seconds)."),
            ("$FFFFFFFF", b"'$FFFFFFFF' is not a valid interval (0 to 2147483 seconds)."),
        ]
        self.put("demo_sco.cfg", b"old")
        for argument, message in cases:
            with self.subTest(argument=argument):
                status, output = self.run_to_end(argument)
                self.assertEqual(status, 1)
                self.assert_report(output, b"EConvertError", message)
                self.assertEqual(sorted(os.listdir(self.dir)), ["demo_sco.cfg"])
                self.assertEqual(self.read("demo_sco.cfg"), b"old")

    def test_a_long_argument_cuts_the_report(self):
        status, output = self.run_to_end("9" * 2000)
        self.assertEqual(status, 1)
        self.assertEqual(len(output), 1023 + 2)
        self.assertTrue(output.endswith(b"9" * 100 + b"\r\n"))
        self.assertEqual(output.count(b"\n"), 2)


class Failures(Case):
    def test_a_directory_named_demo_spy_cfg_stops_the_tick_at_the_ninth_file(self):
        os.mkdir(self.path("demo_spy.cfg"))
        status, output = self.run_to_end("5")
        self.assertEqual(status, 1)
        self.assert_report(output[38:], b"EInOutError", b"File access denied.")
        for tag in TAGS[:8]:
            self.assertRegex(self.read(f"demo_{tag}.cfg"), SCRIPT)

    def test_posix_a_read_only_script_keeps_its_content(self):
        binary = self.path("demostamp")
        shutil.copy(BINARY, binary)
        os.chmod(binary, 0o755)
        for tag in TAGS:
            self.put(f"demo_{tag}.cfg", b"old " + tag.encode())
            os.chown(self.path(f"demo_{tag}.cfg"), 65534, 65534)
        os.chown(self.path("demo_spy.cfg"), 0, 0)
        os.chmod(self.path("demo_spy.cfg"), 0o444)
        result = subprocess.run([*NOBODY, binary, "5"], cwd=self.dir, stdout=subprocess.PIPE,
                                stdin=subprocess.DEVNULL, timeout=START_TIMEOUT)
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stdout[38:], re.compile(
            rb"Exception EInOutError in module demostamp at [0-9A-F]{8}\.\nFile access denied\.\r\n\Z"))
        for tag in TAGS[:8]:
            self.assertRegex(self.read(f"demo_{tag}.cfg"), SCRIPT)
        self.assertEqual(self.read("demo_spy.cfg"), b"old spy")

    def test_posix_a_deleted_current_directory(self):
        gone = self.path("gone")
        os.mkdir(gone)
        # The shell removes its own current directory before it starts the program there.
        result = subprocess.run(["sh", "-c", 'cd "$1" && rmdir "$1" && exec "$2" 5', "sh", gone,
                                 BINARY], stdout=subprocess.PIPE, timeout=START_TIMEOUT)
        self.assertEqual(result.returncode, 1)
        self.assert_report(result.stdout[38:], b"EInOutError", b"File not found.")

    def test_posix_standard_output_closed(self):
        status, output = self.run_to_end("5", stdout=None,
                                         preexec_fn=lambda: os.close(1))
        self.assertEqual(status, 1)
        self.assertEqual(os.listdir(self.dir), [], "no file touched")

    def test_posix_standard_output_closed_reports_error_105(self):
        # The report has nowhere to go, so its attempted write is read off a system call trace.
        self.assertIsNotNone(shutil.which("strace"), "strace is missing: apt-get install strace")
        trace = self.path("trace")
        # A leak check cannot run under a tracer.
        env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
        result = subprocess.run(["strace", "-o", trace, "-e", "trace=write", "-s", "200", "sh",
                                 "-c", 'exec "$1" 5 >&-', "sh", BINARY], cwd=self.dir,
                                env=env, timeout=START_TIMEOUT)
        self.assertEqual(result.returncode, 1)
        with open(trace) as f:
            self.assertIn(r'write(1, "Exception EInOutError in module demostamp at ', f.read())
        with open(trace) as f:
            self.assertIn(r'I/O error 105.", ', f.read())
        self.assertEqual(os.listdir(self.dir), ["trace"], "no script touched")

    def test_posix_failed_banner_writes_end_the_run(self):
        # A pipe without reader (EPIPE) and a full device (ENOSPC) both fail at the banner.
        read_end, write_end = os.pipe()
        os.close(read_end)
        for stdout in [write_end, os.open("/dev/full", os.O_WRONLY)]:
            with self.subTest(stdout=stdout):
                status, _ = self.run_to_end("5", stdout=stdout)
                os.close(stdout)
                self.assertEqual(status, 1, "a failure report, not a silent death by signal")
                self.assertEqual(os.listdir(self.dir), [], "no file touched")

    def test_posix_system_errors_in_the_tick(self):
        def limit(resource, value):
            import resource as r
            return lambda: r.setrlimit(getattr(r, resource), (value, value))

        cases = [
            ("full disk", lambda: os.symlink("/dev/full", self.path("demo_dem.cfg")), None,
             b"I/O error 28."),
            ("file size limit", lambda: None, limit("RLIMIT_FSIZE", 10), b"I/O error 27."),
            # Over a longer old file the limit cuts the write short; the rest must still fail.
            ("short write", lambda: self.put("demo_sco.cfg", b"o" * 100),
             limit("RLIMIT_FSIZE", 30), b"I/O error 27."),
        ]
        for name, arrange, preexec_fn, message in cases:
            with self.subTest(name):
                for entry in os.listdir(self.dir):
                    os.remove(self.path(entry))
                arrange()
                status, output = self.run_to_end("5", preexec_fn=preexec_fn)
                self.assertEqual(status, 1)
                self.assert_report(output[38:], b"EInOutError", message)

    def test_posix_running_out_of_file_handles_in_a_later_tick(self):
        if os.environ.get("DEMOSTAMP_SANITIZED"):
            self.skipTest("the sanitizers' own checks need file handles")
        # Limited once running: the loader itself needs handles at start.
        program = self.start("1")
        program.wait_for_tick()
        subprocess.run(["prlimit", f"--pid={program.process.pid}", "--nofile=3"], check=True)
        self.assertEqual(program.process.wait(timeout=30), 1)
        output = program.process.stdout.read()
        self.assert_report(output[38:], b"EInOutError", b"Too many open files.")

    def test_posix_short_writes_are_continued(self):
        if not SHORT_WRITE_SHIM:
            self.skipTest("run with --short-write-shim")
        self.put("demo_hev.cfg", b"h" * 200)
        env = dict(os.environ, LD_PRELOAD=SHORT_WRITE_SHIM)
        program = self.start("90", env=env)
        self.assertEqual(program.read_stdout(39), b"Update every 90 seconds\r\nExit: Ctrl+C\r\n")
        for tag, content in program.wait_for_tick().items():
            self.assertEqual(len(content), 62, tag)

    def test_posix_a_script_is_written_through_a_symlink(self):
        self.put("real", b"y" * 500)
        os.symlink("real", self.path("demo_sni.cfg"))
        self.start("5").wait_for_tick()
        self.assertTrue(os.path.islink(self.path("demo_sni.cfg")))
        self.assertRegex(self.read("real"), SCRIPT)


class Clock(Case):
    def test_fixed_dates(self):
        cases = [
            ("2009-03-07 05:04:09", "90", b"09_03_07__05_04_09"),
            ("2009-03-07 05:04:09", "60", b"09_03_07__05_04"),
            ("2000-01-01 00:00:00", "5", b"00_01_01__00_00_00"),
            ("2099-12-31 23:59:59", "1", b"99_12_31__23_59_59"),
            ("2100-01-01 00:00:00", "0", b"100_01_01__00_00"),
            ("1999-12-31 23:59:00", "0", b"65535_12_31__23_59"),
        ]
        for faketime, argument, stamp in cases:
            with self.subTest(faketime=faketime, argument=argument):
                program = self.start(argument, cwd=tempfile.mkdtemp(dir=self.dir),
                                     env=self.faketime_env(faketime))
                found = program.wait_for_tick()
                for tag in TAGS:
                    self.assertEqual(found[tag], script(stamp, tag))
                program.stop()

    def test_posix_the_local_zone_is_followed(self):
        minutes = []
        for zone in ["UTC0", "XYZ-5"]:
            workdir = tempfile.mkdtemp(dir=self.dir)
            program = self.start("60", cwd=workdir, env=dict(os.environ, TZ=zone))
            stamp = SCRIPT.fullmatch(program.wait_for_tick()["sco"]).group(1).decode()
            when = datetime.datetime.strptime(stamp, "%y_%m_%d__%H_%M")
            minutes.append(when.timestamp() // 60)
        self.assertIn(minutes[1] - minutes[0], (300, 301), "five hours east, a minute may turn")

    def test_ticks_in_one_minute_write_identical_files(self):
        program = self.start("0", env=self.faketime_env("2030-05-05 10:00:00"))
        first = program.wait_for_tick()
        before = os.stat(self.path("demo_spy.cfg")).st_mtime_ns
        deadline = time.monotonic() + 10
        while os.stat(self.path("demo_spy.cfg")).st_mtime_ns == before:
            self.assertLess(time.monotonic(), deadline, "interval 0 rewrites continuously")
            time.sleep(0.01)
        self.assertEqual(program.wait_for_tick(), first)

    def test_interval_zero_follows_the_minute(self):
        program = self.start("0", env=self.faketime_env("@2030-05-05 10:00:00 x200000"))
        stamps = set()
        deadline = time.monotonic() + 20
        while len(stamps) < 3 and time.monotonic() < deadline:
            stamps.add(SCRIPT.fullmatch(program.wait_for_tick()["med"]).group(1))
        self.assertGreaterEqual(len(stamps), 3)


class Interrupts(Case):
    def assert_complete_and_unmixed(self, found):
        self.assertEqual(len(found), 9, found)
        stamps = set()
        for tag, content in found.items():
            match = SCRIPT.fullmatch(content)
            self.assertIsNotNone(match, (tag, content))
            stamps.add(match.group(1))
        self.assertEqual(len(stamps), 1, found)

    def test_an_interrupt_never_leaves_an_empty_partial_or_mixed_set(self):
        rng = random.Random(int(os.environ.get("DEMOSTAMP_SEED", "0")) or None)
        # A fast clock turns the minute every few ticks, so that a cut tick would mix stamps.
        env = self.faketime_env("@2030-05-05 10:00:00 x200000")
        # Under wine, SIGINT reaches the program as a console Ctrl+C event.
        signals = [signal.SIGINT, signal.SIGTERM, signal.SIGHUP] if POSIX else [signal.SIGINT]
        for round_ in range(60 if POSIX else 20):
            sig = signals[round_ % len(signals)]
            with self.subTest(round=round_, signal=sig.name):
                workdir = tempfile.mkdtemp(dir=self.dir)
                program = self.start("0", cwd=workdir, env=env, stdout=subprocess.DEVNULL)
                program.wait_for_tick()
                time.sleep(rng.uniform(0, 0.05))
                program.process.send_signal(sig)
                status = program.process.wait(timeout=30)
                if POSIX:
                    self.assertEqual(status, -sig, "ended by the signal, no report")
                else:
                    self.assertNotEqual(status, 1, "ended by the interrupt, not by a failure")
                self.assert_complete_and_unmixed(program.scripts())

    def test_a_reader_never_sees_an_empty_or_partial_script(self):
        program = self.start("0", stdout=subprocess.DEVNULL)
        program.wait_for_tick()
        reads = 0
        deadline = time.monotonic() + 2
        while time.monotonic() < deadline:
            for tag in TAGS:
                content = self.read(f"demo_{tag}.cfg")
                self.assertRegex(content, SCRIPT)
                reads += 1
        self.assertGreater(reads, 100)


def main():
    global BINARY, EMULATOR, POSIX, SHORT_WRITE_SHIM
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--short-write-shim", default="",
                        help="a preloadable library that cuts every write to a few bytes")
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    EMULATOR = options.emulator.split(";") if options.emulator else []
    SHORT_WRITE_SHIM = options.short_write_shim and os.path.abspath(options.short_write_shim)
    POSIX = not EMULATOR and os.name == "posix" and not BINARY.endswith(".exe")
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
