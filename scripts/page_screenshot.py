#!/usr/bin/env python3
"""Captures GrainLink's web page as a browser shows it: Debian's chromium in headless mode,
driven over its DevTools pipe, loads the page, waits in the page until every unit's tile has
had a record, the chart is drawn and the event list is filled, then saves the whole page.

Usage: page_screenshot.py URL OUT.png [--width 1280] [--dark] [--phone]
"""
import argparse
import base64
import json
import os
import signal
import subprocess
import sys
import tempfile

# Bounds in seconds of the page's wait for its content and of the whole run: a page that never
# fills or a browser that stops answering must not hold scripts/screenshots.sh up for good.
READY_SECONDS = 60
RUN_SECONDS = 120

READY = """new Promise((resolve, reject) => {
  const ready = () => document.querySelectorAll('.tile').length > 0 &&
    [...document.querySelectorAll('.tile .age')].every((age) => age.dataset.last) &&
    document.querySelector('#chart canvas') !== null &&
    document.querySelectorAll('#events tbody tr').length > 0;
  const deadline = setTimeout(() => {
    observer.disconnect();
    reject(new Error('no records, chart or events within %d s'));
  }, %d);
  const check = () => {
    if (ready()) { clearTimeout(deadline); observer.disconnect(); resolve(true); }
  };
  const observer = new MutationObserver(check);
  observer.observe(document.body, { subtree: true, childList: true, attributes: true });
  check();
})""" % (READY_SECONDS, READY_SECONDS * 1000)


def give_up(signum, frame):
    raise SystemExit(f'page_screenshot: no picture within {RUN_SECONDS} s')


class Browser:
    def __init__(self, profile):
        browser_in, self.to_browser = os.pipe()
        self.from_browser, browser_out = os.pipe()
        os.set_inheritable(browser_in, True)
        os.set_inheritable(browser_out, True)

        def place_pipes():  # the browser reads commands on 3 and writes replies on 4
            os.dup2(browser_in, 3)
            os.dup2(browser_out, 4)

        arguments = ['chromium', '--headless', '--remote-debugging-pipe', '--disable-gpu',
                     '--hide-scrollbars', '--no-first-run', '--user-data-dir=' + profile,
                     'about:blank']
        if os.geteuid() == 0:
            arguments.insert(1, '--no-sandbox')
        self.process = subprocess.Popen(arguments, preexec_fn=place_pipes, close_fds=False,
                                        stderr=subprocess.DEVNULL)
        os.close(browser_in)
        os.close(browser_out)
        self.last_id = 0
        self.session = None
        self.pending = b''

    def message(self):
        while b'\0' not in self.pending:
            chunk = os.read(self.from_browser, 65536)
            if not chunk:
                raise EOFError('the browser ended')
            self.pending += chunk
        text, self.pending = self.pending.split(b'\0', 1)
        return json.loads(text)

    def call(self, method, **params):
        self.last_id += 1
        command = {'id': self.last_id, 'method': method, 'params': params}
        if self.session:
            command['sessionId'] = self.session
        os.write(self.to_browser, json.dumps(command).encode() + b'\0')
        while True:
            reply = self.message()
            if reply.get('id') == self.last_id:
                if 'error' in reply:
                    sys.exit(f'page_screenshot: {method}: {reply["error"]}')
                return reply['result']

    def wait_for_event(self, method):
        while self.message().get('method') != method:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('url')
    parser.add_argument('out')
    parser.add_argument('--width', type=int, default=1280)
    parser.add_argument('--dark', action='store_true')
    parser.add_argument('--phone', action='store_true')
    options = parser.parse_args()
    # Its helper processes may still write to the profile for a moment after it ends.
    with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile:
        browser = Browser(profile)
        # give_up raises wherever the script waits, in a blocked read of the pipe too, so that
        # the browser is ended below.
        signal.signal(signal.SIGALRM, give_up)
        signal.alarm(RUN_SECONDS)
        try:
            target = browser.call('Target.createTarget', url='about:blank')['targetId']
            browser.session = browser.call('Target.attachToTarget', targetId=target,
                                           flatten=True)['sessionId']
            browser.call('Emulation.setDeviceMetricsOverride', width=options.width, height=900,
                         deviceScaleFactor=2 if options.phone else 1, mobile=options.phone)
            browser.call('Emulation.setEmulatedMedia', features=[
                {'name': 'prefers-color-scheme', 'value': 'dark' if options.dark else 'light'}])
            browser.call('Page.enable')
            browser.call('Page.navigate', url=options.url)
            browser.wait_for_event('Page.loadEventFired')
            result = browser.call('Runtime.evaluate', expression=READY, awaitPromise=True)
            if result.get('exceptionDetails'):
                sys.exit(f'page_screenshot: the page did not fill: {result["exceptionDetails"]}')
            shot = browser.call('Page.captureScreenshot', format='png', captureBeyondViewport=True)
            with open(options.out, 'wb') as out:
                out.write(base64.b64decode(shot['data']))
            browser.session = None
            try:
                browser.call('Browser.close')
            except EOFError:
                pass  # it may end before it replies
            browser.process.wait(timeout=30)
        finally:
            signal.alarm(0)
            if browser.process.poll() is None:
                browser.process.kill()
                browser.process.wait()


if __name__ == '__main__':
    main()
