// Compiled with `tsc --noEmit --strict`: the calls below must type-check, and each call under
// an expect-error directive must be refused (tsc fails when such a call compiles).
import registry = require('../..');
import { getKeyValues, getRegistryKeyName } from '../..';

const key = 'HKEY_CURRENT_USER\\Software\\Example';

const text: string = registry.getString(key, 'Greeting', '');
const count: number = registry.getUInt32(key, 'Retries', 0);
const [names, data] = getKeyValues(key);
const firstName: string | undefined = names[0];
const firstData: string | undefined = data[0];
const written: boolean[] = [
  registry.setString(key, 'Theme', text),
  registry.setUInt32(key, 'Retries', count + 1),
  registry.setBinaryValue(key, 'Signature', 'RG'),
  registry.deleteKey(key, 'Theme'),
];
const hashed: string = getRegistryKeyName('Height');

// @ts-expect-error the default text is required
registry.getString(key, 'Greeting');
// @ts-expect-error the default of getUInt32 is a number, not text
registry.getUInt32(key, 'Retries', '0');
// @ts-expect-error paths are strings
registry.getKeyValues(42);
// @ts-expect-error setUInt32 takes a number
registry.setUInt32(key, 'Retries', '5');
// @ts-expect-error deleteKey needs a value name
registry.deleteKey(key);
// @ts-expect-error getKeyValues gives exactly two lists
getKeyValues(key)[2];
// @ts-expect-error writers answer with a boolean
const notText: string = registry.setString(key, 'Theme', 'dark');
// @ts-expect-error the module exports these eight functions only
registry.getValue(key, 'Greeting');

export { firstName, firstData, written, hashed, notText };
