-- Demo operators' passwords, enciphered with the demo key db/mariadb/demo.key and
-- bound to their operators (scripts/demo places the key beside the program as
-- signal-console.key, mode 0600).
-- Regenerate a line with: pwtool encrypt db/mariadb/demo.key USER_ID   (password on standard input)
UPDATE SCS_M_USER SET USER_PW = 'SC2:8Q3rFtkc4rmQ3xt+82s9xowNbziEZhJ/RIO3djXWnztjKGXfOrAyIaqD9HmNx7Wk2Q==' WHERE USER_ID = 'admin';
UPDATE SCS_M_USER SET USER_PW = 'SC2:Ok0OgMtcYp7B37KYzx9fBjLt/mEi4FshNIqhUAryU/PRrYwelDOT9j2PHGw3cobO' WHERE USER_ID = 'operator';
UPDATE SCS_M_USER SET USER_PW = 'SC2:knYsmTIef87e31UQhRwPSZEKXGicImGzFhExKzOTJxbrBSxxgOmUirC58teZadQ=' WHERE USER_ID = 'manager';
UPDATE SCS_M_USER SET USER_PW = 'SC2:qxD9sV4FJhFqxBsBFvJyyMrNi7fq8IJ37ioxzIjYH9IYUQrHh8wktg4D8ZVBYrwyGoQ=' WHERE USER_ID = 'police';
