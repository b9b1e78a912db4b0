-- Centre schema (MariaDB). Upper-case table and column names, utf8mb4.
SET NAMES utf8mb4;
