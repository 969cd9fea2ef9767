// ESLint for the page's scripts (plain browser scripts) and for the Node
// scripts that test and measure it: the recommended rules, and a few that
// catch slips the recommended set lets pass.
import js from '@eslint/js';
import globals from 'globals';

const rules = {
  eqeqeq: 'error',
  'no-var': 'error',
  'prefer-const': 'error',
  'no-shadow': 'error',
  'no-implicit-globals': 'error',
  'no-unused-vars': ['error', { caughtErrors: 'all' }],
};

export default [
  { ignores: ['build*/**', 'node_modules/**', 'web/node_modules/**'] },
  js.configs.recommended,
  {
    files: ['web/*.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, zip: 'readonly', hashwasm: 'readonly', QuorvelV2Gen: 'readonly' },
    },
    rules,
  },
  {
    // Linked into the library's module, inside Emscripten's scope.
    files: ['web/v2gen-api.js'],
    languageOptions: { globals: { Module: 'writable' } },
  },
  {
    files: ['doc/*.mjs', 'web/*.mjs'],
    languageOptions: { sourceType: 'module', globals: globals.node },
    rules,
  },
  {
    // Linked into the WebAssembly module, where Emscripten defines these.
    files: ['web/environment.js'],
    languageOptions: { globals: { Module: 'writable', ENV: 'writable', process: 'readonly' } },
    rules: { 'no-var': 'off' },
  },
  {
    files: ['web/service-worker.js.in'],
    languageOptions: { sourceType: 'script', globals: globals.serviceworker },
    rules,
  },
  {
    files: ['tests/web/*.mjs', 'bench/*.mjs', 'eslint.config.mjs'],
    languageOptions: { sourceType: 'module', globals: { ...globals.node, ...globals.browser } },
    rules,
  },
];
