// Runs a Node-RED flow file the way Node-RED would for the messages of a broker, without
// Node-RED: usage `node node_red_flow.js FLOW [ROOT]`. ROOT replaces "GRAINLINK" in the topics
// of the flow's "mqtt in" nodes, as its users are told to do for another root. Standard input
// holds one message a line, {"topic": ..., "payload": "...", "retain": true when the broker
// kept it and delivers it on subscribing}; for each, one line of standard
// output lists the payloads that reached the flow's debug nodes. A flow that cannot run (a wire
// to no node, a function that does not compile, a function that throws) exits with status 1.
"use strict";
const fs = require("fs");
const readline = require("readline");

const flow = JSON.parse(fs.readFileSync(process.argv[2], "utf8"));
const root = process.argv[3];
const nodes = new Map(flow.map((node) => [node.id, node]));

function fail(text) {
    process.stderr.write(`${text}\n`);
    process.exit(1);
}

// MQTT topic filter matching: "+" one level, "#" the rest.
function matches(filter, topic) {
    const wanted = filter.split("/");
    const levels = topic.split("/");
    for (let i = 0; i < wanted.length; ++i) {
        if (wanted[i] === "#") return true;
        if (i >= levels.length || (wanted[i] !== "+" && wanted[i] !== levels[i])) return false;
    }
    return wanted.length === levels.length;
}

const context = new Map();
const flowContext = {
    get: (key) => context.get(key),
    set: (key, value) => context.set(key, value),
};
const functions = new Map();
for (const node of flow) {
    for (const targets of node.wires || [])
        for (const target of targets)
            if (!nodes.has(target)) fail(`${node.name}: wired to ${target}, not in the flow`);
    if (node.type === "function") {
        try {
            const parameters = ["msg", "flow", "node", "context", "global", "env"];
            functions.set(node.id, new Function(...parameters, node.func));
        } catch (error) {
            fail(`${node.name}: ${error.message}`);
        }
    }
}

const reached = [];
function deliver(node, msg) {
    if (node.type === "debug") {
        reached.push(msg[node.complete || "payload"]);
        return;
    }
    if (node.type !== "function") fail(`${node.name}: a ${node.type} node is not simulated`);
    const log = { warn: fail, error: fail, log() {}, status() {} };
    let outputs;
    try {
        outputs = functions.get(node.id)(msg, flowContext, log, flowContext, flowContext, {});
    } catch (error) {
        fail(`${node.name}: ${error.stack}`);
    }
    if (outputs === null || outputs === undefined) return;
    if (!Array.isArray(outputs)) outputs = [outputs];
    outputs.forEach((out, port) => {
        if (out === null || out === undefined) return;
        for (const target of node.wires[port] || [])
            deliver(nodes.get(target), structuredClone(out));
    });
}

readline.createInterface({ input: process.stdin }).on("line", (line) => {
    const message = JSON.parse(line);
    reached.length = 0;
    for (const node of flow) {
        if (node.type !== "mqtt in") continue;
        const filter = root === undefined ? node.topic : node.topic.replace("GRAINLINK", root);
        if (!matches(filter, message.topic)) continue;
        const payload = node.datatype === "json" ? JSON.parse(message.payload) : message.payload;
        for (const target of node.wires[0])
            deliver(nodes.get(target), { topic: message.topic, payload, retain: message.retain });
    }
    process.stdout.write(`${JSON.stringify(reached)}\n`);
});
