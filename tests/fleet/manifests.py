#!/usr/bin/env python3
# The fleet's manifests, container file and allocation script hold what quillet-host needs: its
# port, health pings, command and options, seats. Usage: manifests.py SOURCE_DIR QUILLET_HOST
import os, re, shlex, stat, subprocess, sys, tempfile, unittest
import yaml

ROOT, HOST = sys.argv[1], sys.argv[2]
DEPLOY = os.path.join(ROOT, 'deploy', 'agones')


def load(name):
    with open(os.path.join(DEPLOY, name)) as f:
        return yaml.safe_load(f)


class Manifests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.fleet = load('fleet.yaml')
        cls.gs = cls.fleet['spec']['template']['spec']
        cls.container = cls.gs['template']['spec']['containers'][0]
        with open(os.path.join(DEPLOY, 'Containerfile')) as f:
            cls.containerfile = f.read()
        cls.help = ' '.join(subprocess.run([HOST, '--help'], capture_output=True, text=True, check=True).stdout.split())

    def entrypoint(self):
        m = re.search(r'^ENTRYPOINT\s+(\[.*\])\s*$', self.containerfile, re.M)
        self.assertIsNotNone(m)
        return yaml.safe_load(m.group(1))

    def test_container_runs_the_host_unannounced_as_a_user(self):
        entry = self.entrypoint()
        self.assertTrue(entry[0].endswith('/quillet-host'))
        self.assertIn('--no-announce', entry)
        self.assertNotIn('command', self.container)  # the image's entry point stays
        self.assertRegex(self.containerfile, r'(?m)^EXPOSE 7772(/tcp)?$')
        user = re.findall(r'(?m)^USER\s+(\S+)', self.containerfile)
        self.assertTrue(user and user[-1] not in ('root', '0'))
        self.assertEqual(str(self.gs['template']['spec']['securityContext']['runAsUser']), user[-1])

    def test_arguments_are_ones_the_host_takes(self):
        # The program refuses what it does not know, before it listens.
        args = self.entrypoint()[1:] + self.container.get('args', []) + ['--port', '0']
        run = subprocess.run([HOST] + args, capture_output=True, text=True, timeout=10)
        self.assertEqual(run.returncode, 2)
        self.assertIn('0 (--port)', run.stderr)
        self.assertNotIn('usage', run.stderr)

    def test_game_port_and_health_match_the_program(self):
        ports = self.gs['ports']
        self.assertEqual(len(ports), 1)
        self.assertEqual(ports[0]['containerPort'], 7772)
        self.assertEqual(ports[0]['portPolicy'], 'Dynamic')
        ping = int(re.search(r'a health ping every (\d+) s', self.help).group(1))
        health = self.gs['health']
        self.assertFalse(health.get('disabled', False))
        # At least two pings in every period, so one late ping is no failure.
        self.assertGreaterEqual(health['periodSeconds'], 2 * ping)
        self.assertGreaterEqual(health['failureThreshold'], 2)
        self.assertGreaterEqual(health['initialDelaySeconds'], health['periodSeconds'])
        self.assertEqual(self.gs['counters']['players'], {'count': 0, 'capacity': 10})

    def test_autoscaler_and_allocation_name_the_fleet(self):
        name = self.fleet['metadata']['name']
        scaler = load('fleetautoscaler.yaml')
        self.assertEqual(scaler['spec']['fleetName'], name)
        alloc = load('allocation.yaml')
        self.assertEqual(alloc['spec']['selectors'][0]['matchLabels'], {'agones.dev/fleet': name})

    def test_allocate_script_prints_the_link(self):
        script = os.path.join(DEPLOY, 'allocate.sh')
        self.assertTrue(os.stat(script).st_mode & stat.S_IXUSR)
        with tempfile.TemporaryDirectory() as bin:
            # A stand-in kubectl: checks what it is asked and answers as the allocation would.
            kubectl = os.path.join(bin, 'kubectl')
            with open(kubectl, 'w') as f:
                f.write('#!/bin/sh\necho "$@" > "$0.args"\necho "$ANSWER"\n')
            os.chmod(kubectl, 0o755)
            env = dict(os.environ, PATH=bin + os.pathsep + os.environ['PATH'])
            for answer, code, out in (('Allocated 203.0.113.9 7031', 0, 'quillet://203.0.113.9:7031\n'),
                                      ('UnAllocated', 1, '')):
                run = subprocess.run([script], env=dict(env, ANSWER=answer), capture_output=True, text=True)
                self.assertEqual((run.returncode, run.stdout), (code, out))
            with open(kubectl + '.args') as f:
                args = shlex.split(f.read())
            self.assertEqual(args[:3], ['create', '-f', os.path.join(DEPLOY, 'allocation.yaml')])


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
