"""Renders Home Assistant value templates as Home Assistant does for an MQTT sensor: in
Jinja's immutable sandbox, with `value` the payload and `value_json` the payload parsed.
Standard input holds one request a line, {"template": ..., "payload": ...}; each rendered
text goes to standard output on a line of its own."""
import json
import sys

from jinja2.sandbox import ImmutableSandboxedEnvironment

environment = ImmutableSandboxedEnvironment()
for line in sys.stdin:
    request = json.loads(line)
    payload = request["payload"]
    template = environment.from_string(request["template"])
    print(template.render(value=payload, value_json=json.loads(payload)))
