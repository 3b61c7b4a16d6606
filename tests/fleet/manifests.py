#!/usr/bin/env python3
# The fleet's manifests, container file and allocation script hold what quillet-host needs: its
# port, health pings, command and options, seats. Usage: manifests.py SOURCE_DIR QUILLET_HOST
import json, os, re, stat, subprocess, sys, tempfile, unittest
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
        self.assertRegex(self.containerfile, r'(?m)^EXPOSE 7772(/tcp)? 7774(/tcp)?$')
        # Only the host's package: none of the desktop game's libraries come with it.
        self.assertRegex(self.containerfile, r'apt-get install [^\n]*/tmp/quillet-host_\*_amd64\.deb')
        self.assertNotRegex(self.containerfile, r'quillet_\*')
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
        # The game port and the web port, each mapped to a port of the node.
        web = int(re.search(r'http://ADDRESS:(\d+)/', self.help).group(1))
        self.assertEqual({p['name']: (p['containerPort'], p['portPolicy'], p['protocol']) for p in self.gs['ports']},
                         {'game': (7772, 'Dynamic', 'TCP'), 'web': (web, 'Dynamic', 'TCP')})
        ping = int(re.search(r'a health ping every (\d+) s', self.help).group(1))
        health = self.gs['health']
        self.assertFalse(health.get('disabled', False))
        # At least two pings in every period, so one late ping is no failure.
        self.assertGreaterEqual(health['periodSeconds'], 2 * ping)
        self.assertGreaterEqual(health['failureThreshold'], 2)
        self.assertGreaterEqual(health['initialDelaySeconds'], health['periodSeconds'])
        self.assertEqual(self.gs['counters']['players'], {'count': 0, 'capacity': 10})
        # The GameServer for the engine's local SDK server declares the same counter and ports.
        local = load('local-gameserver.yaml')['spec']
        self.assertEqual(local['counters'], self.gs['counters'])
        self.assertEqual([(p['name'], p['containerPort']) for p in local['ports']],
                         [(p['name'], p['containerPort']) for p in self.gs['ports']])

    def test_autoscaler_and_allocation_name_the_fleet(self):
        name = self.fleet['metadata']['name']
        scaler = load('fleetautoscaler.yaml')
        self.assertEqual(scaler['spec']['fleetName'], name)
        alloc = load('allocation.yaml')
        self.assertEqual(alloc['spec']['selectors'][0]['matchLabels'], {'agones.dev/fleet': name})
        # Only a table with every seat free: nobody reached it by its address.
        capacity = self.gs['counters']['players']['capacity']
        self.assertEqual(alloc['spec']['selectors'][0]['counters'], {'players': {'minAvailable': capacity}})
        # The autoscaler alone sets the replicas: re-applying the fleet must not shrink its buffer.
        self.assertNotIn('replicas', self.fleet['spec'])

    def test_allocate_script_prints_the_links(self):
        script = os.path.join(DEPLOY, 'allocate.sh')
        self.assertTrue(os.stat(script).st_mode & stat.S_IXUSR)
        with tempfile.TemporaryDirectory() as bin:
            # A stand-in kubectl: records what it is asked and fills the jsonpath template it is given
            # from the allocation's status in $ANSWER, as kubectl would.
            kubectl = os.path.join(bin, 'kubectl')
            with open(kubectl, 'w') as f:
                f.write(STANDIN_KUBECTL)
            os.chmod(kubectl, 0o755)
            env = dict(os.environ, PATH=bin + os.pathsep + os.environ['PATH'])
            ports = [{'name': 'game', 'port': 7031}, {'name': 'web', 'port': 7044}]
            for status, code, out, err in (
                    ({'state': 'Allocated', 'gameServerName': 'quillet-x7k2p', 'address': '203.0.113.9', 'ports': ports},
                     0, 'GameServer quillet-x7k2p\nquillet://203.0.113.9:7031\nhttp://203.0.113.9:7044/\n', ''),
                    ({'state': 'Allocated', 'gameServerName': 'quillet-b4', 'address': '2001:db8::7', 'ports': ports[::-1]},
                     0, 'GameServer quillet-b4\nquillet://[2001:db8::7]:7031\nhttp://[2001:db8::7]:7044/\n', ''),
                    ({'state': 'Contention'}, 1, '', 'Contention'),
                    ({'state': 'UnAllocated'}, 1, '', 'No table was free')):
                for namespace in ([], ['games']):
                    run = subprocess.run(['bash', '-u', script] + namespace, capture_output=True, text=True,
                                         env=dict(env, ANSWER=json.dumps({'status': status})))
                    self.assertEqual((run.returncode, run.stdout), (code, out), run.stderr)
                    self.assertIn(err, run.stderr)
                    with open(kubectl + '.args') as f:
                        args = json.load(f)
                    self.assertEqual(args[:3 + 2 * len(namespace)],
                                     ['create'] + (['--namespace', 'games'] if namespace else []) +
                                     ['-f', os.path.join(DEPLOY, 'allocation.yaml')])


# Fills the {.status...} expressions of a jsonpath template, the ports' name filter included.
STANDIN_KUBECTL = r"""#!/usr/bin/env python3
import json, os, re, sys
json.dump(sys.argv[1:], open(sys.argv[0] + '.args', 'w'))
answer = json.loads(os.environ['ANSWER'])
template = sys.argv[sys.argv.index('-o') + 1].removeprefix('jsonpath=')
def value(expr):
    node = answer
    for part in re.findall(r'\.(\w+)(?:\[\?\(@\.name=="(\w+)"\)\])?', expr):
        node = node.get(part[0], {}) if isinstance(node, dict) else {}
        if part[1]:
            node = next((p for p in node if p.get('name') == part[1]), {}) if isinstance(node, list) else {}
    return '' if isinstance(node, (dict, list)) else str(node)
print(re.sub(r'\{([^{}]*)\}', lambda m: value(m.group(1)), template))
"""


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
