-- Demo operators' passwords, enciphered with the demo key db/mariadb/demo.key
-- (scripts/demo places it beside the program as signal-console.key).
-- Regenerate a line with: pwtool encrypt db/mariadb/demo.key PASSWORD
UPDATE SCS_M_USER SET USER_PW = 'SC1:pNcq64NiZf5rv9Gc47ckbzFokstN7VTSTVEq42IUaAj5GGmFr/M8YEIMIdYrilj2/g==' WHERE USER_ID = 'admin';
UPDATE SCS_M_USER SET USER_PW = 'SC1:6ssPLx0Jqjrn+Gcg9HO8E1Py/m4VuO1wUk7F+TOaRNBpYk5E1aF93aPSzwScyL8S' WHERE USER_ID = 'operator';
UPDATE SCS_M_USER SET USER_PW = 'SC1:OSBHYnIzxQ1Cfu8zs/DYycE64nrCbU3eUoszWkTg6Y+nKvADgnPgJ5VYhkVmFUk=' WHERE USER_ID = 'manager';
UPDATE SCS_M_USER SET USER_PW = 'SC1:X4JAjpmFlqaV/fjuff385OnKxdQf79J+DC7mTXliOTSzZ1MbQsKtYHYlT3hi419dQa4=' WHERE USER_ID = 'police';
