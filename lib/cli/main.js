'use strict';

// Runs one command line: parses it, runs the command and prints its answer. Returns the exit
// status.
const { parseArgs } = require('node:util');
const { commands } = require('./commands');
const help = require('./help');
const { UsageError } = require('./usage-error');

const options = {
  json: { type: 'boolean' },
  type: { type: 'string' },
  help: { type: 'boolean', short: 'h' },
};

function parse(argv) {
  let parsed;
  try {
    parsed = parseArgs({ args: argv, options, allowPositionals: true });
  } catch (error) {
    throw new UsageError(error.message);
  }
  const { values, positionals } = parsed;
  if (values.help) return { help: true };
  const [name, ...args] = positionals;
  if (name === undefined) throw new UsageError('no command given');
  const command = Object.hasOwn(commands, name) ? commands[name] : undefined;
  if (command === undefined) throw new UsageError(`unknown command "${name}"`);
  if (args.length !== command.args.length) {
    throw new UsageError(`usage: registry-addon ${name} ${command.args.join(' ')}`);
  }
  if (values.type !== undefined && !command.typed) {
    throw new UsageError(`--type does not apply to ${name}`);
  }
  return { command, args, type: values.type, json: values.json === true };
}

function main(argv, { stdout, stderr }) {
  try {
    const parsed = parse(argv);
    if (parsed.help) {
      stdout.write(help);
      return 0;
    }
    const result = parsed.command.run(parsed.args, parsed.type);
    if (parsed.json) stdout.write(`${JSON.stringify(result.json)}\n`);
    else if (result.text !== undefined) stdout.write(`${result.text}\n`);
    if (result.status !== 0) stderr.write(`registry-addon: ${result.error}\n`);
    return result.status;
  } catch (error) {
    if (!(error instanceof UsageError)) throw error;
    stderr.write(`registry-addon: ${error.message} (see registry-addon --help)\n`);
    return 2;
  }
}

module.exports = { main };
